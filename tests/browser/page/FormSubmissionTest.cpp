// What a form sends: its fields in control order, URL-encoded in UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "browser/page/FormSubmission.h"
#include "tests/browser/page/DemoForm.h"
#include "tests/vwt/TestText.h"

namespace {

class FormSubmissionTest : public ::testing::Test {
 protected:
  FormSubmissionTest() : demo(b) {}

  FormPageBuilder b;
  DemoForm demo;
};

const std::string DEMO_FIELDS =
    "session=demo-42&name=Ann&secret=&news=yes&size=m&colour=g&toppings=Olives&toppings=Onions"
    "&message=Hello%0D%0Afrom+the+handset";

TEST_F(FormSubmissionTest, TheDemoFormSendsItsValuesAndOnlyThePressedButton) {
  struct Case {
    RenderItem* DemoForm::*button;
    int x, y;
    std::string tail;
  };
  const Case cases[] = {
      {&DemoForm::send, 0, 0, ""},  // a button without a name sends nothing of its own
      {&DemoForm::go, 0, 0, "&go=Go"}, {&DemoForm::pick, 12, 7, "&pick.x=12&pick.y=7"},
      {&DemoForm::photo, 0, 0, ""},  // the upload goes its own way
      {&DemoForm::reset, 0, 0, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DEMO_FIELDS + c.tail, narrow(FormSubmission::fields(demo.form, demo.*c.button, c.x, c.y)));
  EXPECT_EQ(DEMO_FIELDS, narrow(FormSubmission::fields(demo.form, nullptr, 0, 0)));
  EXPECT_EQ("size=x&q=", narrow(FormSubmission::fields(demo.search, demo.go, 0, 0)));
  EXPECT_EQ("http://127.0.0.1/demo/form-result.html", narrow(FormSubmission::action(demo.form)));
}

TEST_F(FormSubmissionTest, AnUploadButtonBelongsToItsOwnFormOnly) {
  EXPECT_TRUE(FormSubmission::contains(demo.form, demo.photo));
  EXPECT_FALSE(FormSubmission::contains(demo.search, demo.photo));
  EXPECT_FALSE(FormSubmission::contains(demo.form, nullptr));
  EXPECT_FALSE(FormSubmission::contains(nullptr, demo.photo));
}

TEST_F(FormSubmissionTest, ChangedControlsSendTheirNewState) {
  demo.news->flags = 0;
  demo.offers->flags = DemoForm::CHECKED;
  demo.medium->flags = 0;
  demo.large->flags = DemoForm::CHECKED;
  demo.name->text = u"Ann Lee & Co"_s;
  demo.secret->text = u"p=w%"_s;
  demo.pick->name = String();
  EXPECT_EQ(
      "session=demo-42&name=Ann+Lee+%26+Co&secret=p%3Dw%25&offers=yes&size=l&colour=g&toppings=Olives"
      "&toppings=Onions&message=Hello%0D%0Afrom+the+handset&x=3&y=4",
      narrow(FormSubmission::fields(demo.form, demo.pick, 3, 4)));
}

TEST_F(FormSubmissionTest, TextIsUtf8AndLineBreaksAreCrLf) {
  struct Case {
    const char16_t* text;
    const char* sent;
  };
  const Case cases[] = {
      {u"a\r\nb", "a%0D%0Ab"},
      {u"a\nb\rc", "a%0D%0Ab%0D%0Ac"},
      {u"\r\n\r\n", "%0D%0A%0D%0A"},
      {u"\u00E9t\u00E9", "%C3%A9t%C3%A9"},
      {u"\u3042\uFF71", "%E3%81%82%EF%BD%B1"},
      {u"\U0001F600", "%F0%9F%98%80"},
      {u"x\xD800y", "x%EF%BF%BDy"},  // a lone surrogate
      {u"AZaz09.-_*~/", "AZaz09.-_*%7E%2F"},
  };
  for (const Case& c : cases) {
    FormPageBuilder page;
    RenderItem* form = page.form(u"http://127.0.0.1/a"_s);
    page.field(RenderItem::TEXT_AREA, u"t\u00E9"_s, String(c.text, false), form);
    EXPECT_EQ(std::string("t%C3%A9=") + c.sent, narrow(FormSubmission::fields(form, nullptr, 0, 0)));
  }
}

TEST_F(FormSubmissionTest, OptionsWithoutValuesSendTheirLabels) {
  FormPageBuilder page;
  RenderItem* form = page.form(u"http://127.0.0.1/a"_s);
  page.options(RenderItem::LIST, u"l"_s, {u"One", u"Two", u"Three"}, {u"1"}, {true, true, true}, form,
               DemoForm::MULTIPLE);
  // A drop-down list with no selected flag sends the option it shows.
  RenderItem* select =
      page.options(RenderItem::SELECT, u"s"_s, {u"A", u"B"}, {u"a", u"b"}, {false, false}, form);
  select->value2 = 1;
  EXPECT_EQ("l=1&l=Two&l=Three&s=b", narrow(FormSubmission::fields(form, nullptr, 0, 0)));
}

TEST_F(FormSubmissionTest, MalformedFormsSendWhatTheyCan) {
  FormPageBuilder page;
  RenderItem* form = page.form(u"http://127.0.0.1/a"_s);
  form->addIndexRef(40);  // a control never read
  form->refs->addElement(nullptr);
  form->refs->addElement(form);  // not a CONTROL
  RenderItem* empty = page.structure(RenderItem::CONTROL, {});
  form->refs->addElement(empty);
  RenderItem* boxed = page.structure(RenderItem::CONTROL, {});
  boxed->addIndexRef(3);
  form->refs->addElement(boxed);
  RenderItem* odd = page.options(RenderItem::SELECT, u"s"_s, {u"A"}, {}, {true}, form);
  FormPageBuilder::replaceValue(odd, 0, 0, new Boolean(true));  // a label that is no text, and no value
  RenderItem* far = page.options(RenderItem::SELECT, u"f"_s, {u"A"}, {u"a"}, {false}, form);
  far->value2 = 9;
  page.field(RenderItem::TEXT_FIELD, String(), u"unnamed"_s, form);
  page.field(RenderItem::TEXT_FIELD, u"ok"_s, u"1"_s, form);
  EXPECT_EQ("ok=1", narrow(FormSubmission::fields(form, nullptr, 0, 0)));
  EXPECT_EQ("", narrow(FormSubmission::fields(nullptr, nullptr, 0, 0)));
  EXPECT_EQ("", narrow(FormSubmission::fields(empty, nullptr, 0, 0)));
  EXPECT_EQ("", narrow(FormSubmission::action(nullptr)));
  EXPECT_EQ("", narrow(FormSubmission::action(empty)));
}

}  // namespace
