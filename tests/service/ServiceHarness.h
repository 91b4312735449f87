#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "HandsetClient.h"
#include "service/RenderService.h"

namespace vesktest {

// Starts the service in-process on 127.0.0.1 with an ephemeral port, a fresh state
// directory and the shipped fixture pages; stops it and removes the directory afterwards.
class ServiceHarness : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vesk-service-test-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    vesk::ServiceConfig c;
    c.host = "127.0.0.1";
    c.port = 0;
    c.stateDir = dir_ + "/state";
    c.fixtureDir = VESK_FIXTURE_DIR;
    c.logFile = dir_ + "/requests.log";
    c.portalHost = "portal.test";
    c.imageBlockBytes = 16384;
    configure(c);
    service_ = std::make_unique<vesk::RenderService>(c);
    port_ = service_->start();
    client_ = std::make_unique<HandsetClient>(port_);
  }
  void TearDown() override {
    client_.reset();
    service_.reset();
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }
  virtual void configure(vesk::ServiceConfig&) {}

  // Public key and key exchange for a new user; returns the record.
  std::string connect(int32_t userId = 0) {
    std::string record = client_->fetchPublicKey();
    EXPECT_EQ(client_->exchangeKeys(record, userId), 0);
    return record;
  }

  std::string dir_;
  int port_ = 0;
  std::unique_ptr<vesk::RenderService> service_;
  std::unique_ptr<HandsetClient> client_;
};

}  // namespace vesktest
