// The file-drop option of the trading window: switched off, request files wait and
// external orders are not listed; the setting is saved.
#include "support/form_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace kavex {
namespace {

namespace fs = std::filesystem;

class FileDropFormTest : public ::testing::Test, public test::FormFixture {};

TEST_F(FileDropFormTest, SwitchedOffARequestFileWaitsAndAnExternalOrderIsNotListed) {
    // Placing and cancelling by request file are run against the demo server.
    writeSettings([](Settings& s) { s.asciiRemote = 1; });
    startSession();
    ASSERT_TRUE(form->fileDrop().active());
    form->asciiRemote_Click(false);
    EXPECT_FALSE(form->fileDrop().active());
    const fs::path requests = dir.root / FileDrop::kRequestFile; // complete, written a while ago
    writeFileAtomically(requests, "@CA\r\n");
    fs::last_write_time(requests, fs::file_time_type::clock::now() - std::chrono::seconds(5));
    loop.advance(3000);
    EXPECT_TRUE(fs::exists(requests));
    form->externalOrders().placeOrder(";1;BUY;MKT;1;;;R2");
    EXPECT_TRUE(sentOnce("@PO=ACC9;-41;1;BUY ;MKT;1; 0; 0;0;0"));
    EXPECT_FALSE(fs::exists(dir.root / FileDrop::kOrderIdFile));

    form->ende_Click();
    EXPECT_EQ(readTextLines(dir.root / SettingsFile::kSettingsName)[19], " 0 ");
}

} // namespace
} // namespace kavex
