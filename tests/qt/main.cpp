// The Qt tests share one application object; windows go to the offscreen platform, on one
// screen of 1366 x 800 pixels (the platform's own is 800 x 600, smaller than the trading
// window's smallest size).
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0); // also when the test list is read at build time
    const std::filesystem::path screens =
        std::filesystem::temp_directory_path() / ("kavex-test-screen-" + std::to_string(getpid()) + ".json");
    if (std::strcmp(std::getenv("QT_QPA_PLATFORM"), "offscreen") == 0) {
        std::ofstream(screens) << R"({"screens": [{"name": "test", "x": 0, "y": 0, "width": 1366, )"
                               << R"("height": 800, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
        setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens.string()).c_str(), 1);
    }
    int result = 0;
    {
        QApplication app(argc, argv);
        testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    std::error_code ignored;
    std::filesystem::remove(screens, ignored);
    return result;
}
