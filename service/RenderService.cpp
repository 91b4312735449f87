#include "service/RenderService.h"

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace vesk {

namespace {

constexpr size_t kMaxBody = 1u << 20;  // the largest legitimate body is an upload chunk of ~80 kB

void reply(httplib::Response& res, const GatewayReply& r) {
    res.status = r.status;
    res.set_content(r.body, r.contentType.c_str());
}

} // namespace

RenderService::RenderService(const ServiceConfig& config)
    : state_(config), gateway_(state_), control_(state_), server_(new httplib::Server) {
    server_->set_payload_max_length(kMaxBody);
    server_->set_tcp_nodelay(true);  // headers and body go out in separate writes
    server_->Post(R"(/br/wm(;jsessionid=[^/?]*)?)", [this](const httplib::Request& req, httplib::Response& res) {
        GatewayRequest g;
        g.contentType = req.get_header_value("Content-Type");
        g.body = req.body;
        reply(res, gateway_.handle(g));
    });
    auto control = [this](const httplib::Request& req, httplib::Response& res) {
        std::map<std::string, std::string> params;
        for (const auto& p : req.params) params.emplace(p.first, p.second);
        reply(res, control_.handle(req.matches[1], params, req.remote_addr));
    };
    server_->Get(R"(/control/([a-z-]+))", control);
    server_->Post(R"(/control/([a-z-]+))", control);
}

RenderService::~RenderService() { stop(); }

int RenderService::start() {
    const ServiceConfig& c = state_.config;
    int port = c.port;
    if (port == 0) {
        port = server_->bind_to_any_port(c.host);
    } else if (!server_->bind_to_port(c.host, port)) {
        port = -1;
    }
    if (port <= 0) throw std::runtime_error("cannot listen on " + c.host + ":" + std::to_string(c.port));
    state_.config.port = port;
    if (!c.portFile.empty()) {
        std::string tmp = c.portFile + ".tmp";
        {
            std::ofstream out(tmp);
            out << port << "\n";
        }
        std::rename(tmp.c_str(), c.portFile.c_str());
    }
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // stop() only takes effect on a running listener, so do not return before it runs.
    while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return port;
}

void RenderService::stop() {
    if (server_) server_->stop();
    if (thread_.joinable()) thread_.join();
}

} // namespace vesk
