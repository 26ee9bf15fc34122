// The Qt tests share one application object; windows go to the offscreen platform, on a
// screen of 1366 x 800 pixels (the platform's own 800 x 600 is below the trading window's
// smallest size).
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

int main(int argc, char** argv) {
    const auto screen = std::filesystem::temp_directory_path() / ("kavex-screen-" + std::to_string(getpid()));
    std::ofstream(screen)
        << R"({"screens": [{"name": "test", "width": 1366, "height": 800, "logicalDpi": 96}]})";
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screen.string()).c_str(), 1);
    QApplication app(argc, argv);
    std::filesystem::remove(screen); // read as the platform starts
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
