// The file-drop interface inside the trading window, against a scripted server.
#include "support/form_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

namespace kavex {
namespace {

namespace fs = std::filesystem;

class FileDropFormTest : public ::testing::Test, public test::FormFixture {
  protected:
    void start(int16_t asciiRemote) {
        writeSettings([&](Settings& s) { s.asciiRemote = asciiRemote; });
        startSession();
    }
    void request(const std::string& text) {
        writeFileAtomically(dir.root / FileDrop::kRequestFile, text);
        fs::last_write_time(dir.root / FileDrop::kRequestFile,
                            fs::file_time_type::clock::now() - std::chrono::seconds(5));
    }
};

TEST_F(FileDropFormTest, RequestFilesPlaceAndCancelThroughTheGridWhileTheOptionIsOn) {
    start(1);
    ASSERT_TRUE(form->fileDrop().active());
    ASSERT_EQ(form->data().InstrumentCount(), 2);

    request("@PO;de0005190003;0;SELL;LMT;3;80.25;0;R1\r\n");
    loop.advance(1000);
    EXPECT_TRUE(sentOnce("@PO=ACC9;-41;2;SEL ;LMT;3; 80.25; 0;0;0"));
    EXPECT_EQ(readFileBytes(dir.root / FileDrop::kOrderIdFile), "\"R1\";-41\r\n");
    // The bridge is told whether a front-end listens or not.
    EXPECT_EQ(form->bridgeLog.lines(),
              (std::vector<std::string>{"Listen  4100", "OUT:" + wire::frame("@OC;R1;-41"),
                                        wire::frame("@PO=ACC9;-41;2;SEL ;LMT;3; 80.25; 0;0;0")}));
    EXPECT_EQ(form->fileDropLog.size(), 1u);

    serverSends("@OO=-41;SRV7;;SEL;3;LMT;80.25;0;4;0;3;0;100000;100000;;2;0;0;;1;0");
    ASSERT_EQ(form->data().orderBook.count(), 1);
    request("@CO;-41\r\n");
    loop.advance(1000);
    EXPECT_TRUE(sentOnce("@CO=ACC9;-41;SRV7"));

    // Switched off: the next file waits, and an external order is not listed any more.
    form->asciiRemote_Click(false);
    EXPECT_FALSE(form->fileDrop().active());
    request("@CA\r\n");
    loop.advance(3000);
    EXPECT_TRUE(fs::exists(dir.root / FileDrop::kRequestFile));
    form->externalOrders().Ext_Placeorder(";1;BUY;MKT;1;;;R2");
    EXPECT_TRUE(sentOnce("@PO=ACC9;-42;1;BUY ;MKT;1; 0; 0;0;0"));
    EXPECT_EQ(readFileBytes(dir.root / FileDrop::kOrderIdFile), "\"R1\";-41\r\n");

    form->fileDropLog_Click();
    EXPECT_TRUE(form->fileDropLog.empty());
    form->ende_Click();
    EXPECT_EQ(readTextLines(dir.root / SettingsFile::kSettingsName)[19], " 0 ");
}

} // namespace
} // namespace kavex
