#include "EnvelopeDecoder.h"
#include "ServiceHarness.h"
#include "WireReader.h"

namespace vesktest {
namespace {

using PageTest = ServiceHarness;

std::string common(int32_t uid, const std::string& extra = "") {
    return "&ib=" + std::to_string(uid) + "&ft=0&bt=0&id=TEST&wd=236&si=7&lq=1&ap=QKWM&lid=1033" + extra +
           "&f&css&fa=10&fb=3&fh=14&fw=12&vn=5208";
}

TEST_F(PageTest, AllItemsPageDecodesFieldByField) {
    connect();
    int32_t uid = client_->userId();
    DecodedEnvelope e = decodeEnvelope(
        client_->page("c=H&u=http%3A%2F%2Fany.host%2Fdemo%2Fall-items" + common(uid, "&fl=1")));

    EXPECT_EQ(e.version, 5208);
    EXPECT_EQ(e.status, 0);
    EXPECT_EQ(e.userId, uid);
    EXPECT_EQ(e.value1, 1);
    EXPECT_EQ(e.bookmarkVersion, 0);
    EXPECT_EQ(e.sessionId.size(), 16u);
    EXPECT_GT(e.pageId, 0);
    EXPECT_EQ(e.pageNo, 3);
    EXPECT_EQ(e.pageFlags, 0x11);
    EXPECT_EQ(e.url, "http://demo.local/demo/all-items");
    EXPECT_EQ(e.title, "All item types");
    EXPECT_EQ(e.background, 0xF0F0F0);
    EXPECT_EQ(e.width, 236);
    EXPECT_EQ(e.height, 400);

    ASSERT_EQ(e.items.size(), 25u);
    const std::vector<int> types = {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17,
                                    18, 19, 20, 21, 22, 24, 25, 29, 32, 40};
    for (size_t i = 0; i < types.size(); ++i) EXPECT_EQ(e.items[i].type, types[i]) << i;

    const auto& t = e.items[0];
    EXPECT_EQ(std::vector<int32_t>({t.x, t.y, t.w, t.h, t.color, t.value1, t.flags}),
              std::vector<int32_t>({2, 2, 120, 14, 0x112233, 7, 3}));
    EXPECT_EQ(t.text, "Hello \xE3\x81\x82 world");
    EXPECT_EQ(std::vector<int32_t>({e.items[1].x, e.items[1].y, e.items[1].w, e.items[1].h}),
              std::vector<int32_t>({1, 2, 3, 4}));
    const auto& img = e.items[2];
    EXPECT_EQ(img.text, "logo");
    EXPECT_EQ(img.name, "logo.gif");
    EXPECT_EQ(std::vector<int32_t>({img.image, img.param1, img.param2, img.flags, img.value1, img.value2}),
              std::vector<int32_t>({0, 16, 16, 0x10, 0x00020001, 0x00100010}));
    EXPECT_EQ(e.items[4].text, "[img]");
    EXPECT_EQ(e.items[5].color, 0x808080);
    EXPECT_EQ(e.items[5].flags, 1);
    EXPECT_EQ(e.items[7].color, 0x00FF00);
    EXPECT_EQ(e.items[8].param1, 0x00030000);
    EXPECT_EQ(e.items[9].text, "Send");
    EXPECT_EQ(e.items[9].name, "go");
    EXPECT_EQ(e.items[9].flags, 0x80);
    EXPECT_EQ(e.items[11].color2, 0xFFFFEE);
    EXPECT_EQ(e.items[12].flags, 4);
    const auto& sel = e.items[14];
    EXPECT_EQ(sel.value2, 1);
    EXPECT_EQ(sel.labels, std::vector<std::string>({"One", "Two"}));
    EXPECT_EQ(sel.values, std::vector<std::string>({"1", "2"}));
    EXPECT_EQ(sel.selected, std::vector<bool>({false, true}));
    EXPECT_EQ(sel.name, "num");
    EXPECT_EQ(e.items[15].flags, 8);
    EXPECT_EQ(e.items[16].text, "line1\nline2");
    EXPECT_EQ(e.items[19].name, "okbtn");
    const auto& hid = e.items[20];
    EXPECT_EQ(std::vector<int32_t>({hid.x, hid.y, hid.w, hid.h}), std::vector<int32_t>({0, 0, 0, 0}));
    EXPECT_EQ(hid.name, "token");
    EXPECT_EQ(hid.text, "s3cr3t");
    EXPECT_EQ(e.items[21].y, 270);
    EXPECT_EQ(e.items[21].name, "section2");
    const auto& box = e.items[22];
    EXPECT_EQ(box.flags, 0x20 | 0x40 | 0x1 | 0x4 | 0x10);
    EXPECT_EQ(box.color, 0x0000FF);
    EXPECT_EQ(box.color2, 0xEEEEEE);
    EXPECT_EQ(std::vector<int32_t>({box.border[0][0], box.border[0][1], box.border[0][2]}),
              std::vector<int32_t>({0xFF0000, 2, 1}));
    EXPECT_EQ(std::vector<int32_t>({box.border[2][0], box.border[2][1], box.border[2][2]}),
              std::vector<int32_t>({0x00FF00, 3, 2}));
    EXPECT_EQ(std::vector<int32_t>({box.image, box.param1, box.param2}), std::vector<int32_t>({1, 0, 0x3000}));
    const auto& obj = e.items[23];
    EXPECT_EQ(std::vector<int32_t>({obj.x, obj.y, obj.w, obj.h}), std::vector<int32_t>({2, 330, 100, 50}));
    EXPECT_EQ(obj.name, "movie.swf");

    ASSERT_EQ(e.structure.size(), 5u);
    EXPECT_EQ(e.structure[0].type, 100);
    EXPECT_EQ(e.structure[0].text, "http://demo.local/next");
    EXPECT_EQ(e.structure[0].refs, std::vector<int32_t>({0, 2}));
    // controls point at their field and (forward, in the second list) at their form
    EXPECT_EQ(e.structure[1].refs, std::vector<int32_t>({10, 25 + 3}));
    EXPECT_EQ(e.structure[2].refs, std::vector<int32_t>({9, 25 + 3}));
    const auto& form = e.structure[3];
    EXPECT_EQ(form.type, 102);
    EXPECT_EQ(form.text, "http://demo.local/submit");
    EXPECT_EQ(form.m, 6);
    EXPECT_EQ(form.e, 1);
    EXPECT_EQ(form.extra, "unused");
    EXPECT_EQ(form.refs, std::vector<int32_t>({26, 27}));
    const auto& area = e.structure[4];
    EXPECT_EQ(std::vector<int32_t>({area.color, area.x, area.y, area.w, area.h}),
              std::vector<int32_t>({2, 10, 10, 5, 0}));
    EXPECT_EQ(area.text, "http://demo.local/area");
    EXPECT_EQ(area.name, "spot");
    EXPECT_EQ(area.refs, std::vector<int32_t>({2}));

    ASSERT_EQ(e.frames.size(), 1u);
    EXPECT_EQ(e.frames[0], std::make_pair(std::string("http://demo.local/demo/all-items"), 25));

    // a 43-byte picture and 300 generated bytes, no transparent colours without "tc"
    EXPECT_EQ(e.imageSizes, std::vector<int32_t>({43, 300}));
    EXPECT_EQ(e.imageTotal, 343);
    EXPECT_EQ(e.blockCount, 1);
    EXPECT_EQ(e.memoryLimit, 2000000);
    EXPECT_EQ(e.fileCount, 1);
    ASSERT_EQ(e.cookieGroups.size(), 2u);
    ASSERT_EQ(e.cookieGroups[0].size(), 1u);
    EXPECT_EQ(e.cookieGroups[0][0].name, "visit");
    const auto& pref = e.cookieGroups[1].at(0);
    EXPECT_EQ(pref.path, "/demo");
    EXPECT_EQ(pref.value, "a b");
    EXPECT_EQ(pref.lifetime, 3600);
    EXPECT_EQ(pref.flags, 1);
    EXPECT_EQ(e.trailingBytes, 0u);
}

TEST_F(PageTest, FileCountIsLeftOutWhenTheRequestSaysFlZero) {
    connect();
    auto e = decodeEnvelope(client_->page("c=H&u=http%3A%2F%2Fx%2Fdemo%2Fall-items" + common(client_->userId(), "&fl=0")),
                            false);
    EXPECT_EQ(e.fileCount, -1);
    EXPECT_EQ(e.cookieGroups.size(), 2u);
    EXPECT_EQ(e.trailingBytes, 0u);
}

TEST_F(PageTest, HomeRequestGetsThePortalStartPage) {
    connect();
    auto e = decodeEnvelope(client_->page("c=H" + common(client_->userId(), "&fl=1")));
    EXPECT_EQ(e.title, "Vesk portal");
    EXPECT_EQ(e.url, "http://portal.test/portal/indexQK.jsp");
    std::vector<std::string> links;
    for (const auto& s : e.structure) links.push_back(s.text);
    EXPECT_NE(std::find(links.begin(), links.end(), "http://portal.test/demo/all-items"), links.end());
    EXPECT_EQ(e.cookieGroups.size(), 0u);
}

TEST_F(PageTest, PagesAreFoundByPathOnAnyHostOrAnswerNotFound) {
    connect();
    struct Case {
        std::string url, title;
    } cases[] = {
        {"http://a.example/", "Vesk demo site"},
        {"http://b.example:8080/demo/notice?x=1", "Notice"},
        {"http://c.example/portal/indexQK.jsp", "Vesk portal"},
        {"http://d.example/missing", "Not found"},
        {"http://d.example/../etc/passwd", "Not found"},
    };
    for (const auto& c : cases) {
        auto e = decodeEnvelope(client_->page("c=H&u=" + c.url + common(client_->userId(), "&fl=1")));
        EXPECT_EQ(e.title, c.title) << c.url;
    }
    auto notice = decodeEnvelope(client_->page("c=H&u=http://x/demo/notice" + common(client_->userId(), "&fl=1")));
    EXPECT_EQ(notice.status, 20500);
    EXPECT_EQ(notice.message, "Maintenance tonight");
}

TEST_F(PageTest, EveryAnswerSurvivesTheHandsetsLastBlockTrimming) {
    connect();
    // image blocks of every length modulo 16, including whole blocks and empty ones
    for (int len : {0, 1, 15, 16, 17, 31, 32}) {
        std::string q = "c=I&r=999999&b=" + std::to_string(len) + "&pg=1";
        auto r = client_->query(q);
        ASSERT_EQ(r.status, 200);
        EXPECT_EQ(r.body.size(), 4u);  // magic only: an unknown page has no image data
    }
}

struct BlockService : ServiceHarness {};

TEST_F(PageTest, AnImageSpansTwoBlocks) {
    connect();
    auto e = decodeEnvelope(client_->page("c=H&u=http://x/demo/images" + common(client_->userId(), "&fl=1")));
    ASSERT_EQ(e.imageSizes, std::vector<int32_t>({40000, 43}));
    EXPECT_EQ(e.blockCount, 3);  // 16384-byte blocks
    std::string data;
    for (int b = 0; b < e.blockCount; ++b) {
        auto r = client_->query("c=I&r=" + std::to_string(e.pageId) + "&b=" + std::to_string(b) + "&pg=1");
        ASSERT_EQ(r.status, 200);
        WireReader w(r.body);
        EXPECT_EQ(w.i32(), HandsetClient::kMagic);
        std::string part = w.rest();
        EXPECT_EQ(part.size(), b < 2 ? 16384u : 40043u - 2 * 16384u);
        data += part;
    }
    ASSERT_EQ(data.size(), 40043u);
    EXPECT_EQ(data.substr(40000, 6), "GIF89a");
    // a block past the end is empty
    auto past = client_->query("c=I&r=" + std::to_string(e.pageId) + "&b=3&pg=1");
    EXPECT_EQ(past.body.size(), 4u);
}

TEST_F(PageTest, TransparentColourPrecedesEachImageWithTc) {
    connect();
    auto e = decodeEnvelope(client_->page("c=H&u=http://x/demo/all-items" + common(client_->userId(), "&fl=1&tc")));
    ASSERT_EQ(e.imageSizes, std::vector<int32_t>({47, 304}));
    auto r = client_->query("c=I&r=" + std::to_string(e.pageId) + "&b=0&pg=3&tc");
    WireReader w(r.body);
    EXPECT_EQ(w.i32(), HandsetClient::kMagic);
    EXPECT_EQ(w.i32(), 0xFF00FF);
    EXPECT_EQ(w.bytes(6), "GIF89a");
    w.bytes(37);
    EXPECT_EQ(w.i32(), 0);
    EXPECT_EQ(w.remaining(), 300u);
}

TEST_F(PageTest, EmbeddedFilesFollowWithTheirParameterData) {
    connect();
    auto e = decodeEnvelope(client_->page("c=H&u=http://x/demo/images" + common(client_->userId(), "&fl=1")));
    EXPECT_EQ(e.fileCount, 1);
    auto r = client_->query("c=F&r=" + std::to_string(e.pageId) + "&pg=1");
    WireReader w(r.body);
    EXPECT_EQ(w.i32(), HandsetClient::kMagic);
    EXPECT_EQ(w.i32(), 1);
    w.utf();
    EXPECT_EQ(w.utf(), "clip.swf");
    EXPECT_EQ(w.i32(), 10);
    EXPECT_EQ(w.bytes(10), "0123456789");
    EXPECT_EQ(w.rest(), "abc");
    // an unknown page id has no files
    auto none = client_->query("c=F&r=424242&pg=1");
    WireReader n(none.body);
    EXPECT_EQ(n.i32(), HandsetClient::kMagic);
    EXPECT_EQ(n.i32(), 0);
}

TEST_F(PageTest, SessionIdInThePathIsAccepted) {
    connect();
    auto r = client_->post("vesk-cryptreq" + std::to_string(client_->userId()),
                           client_->encrypt("c=H" + common(client_->userId(), "&fl=1")), "/br/wm;jsessionid=abc123");
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(WireReader(client_->decrypt(r.body)).i32(), HandsetClient::kMagic);
}

} // namespace
} // namespace vesktest
