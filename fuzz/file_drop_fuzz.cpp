// Arbitrary bytes as a request file of the file-drop interface, through the polling
// tick: reading, the split into request lines and fields, the checks and the dispatch.
//
// The order operations are the real ones over a small order grid, behind a layer that
// checks what reaches them: the calls must be exactly those that a plain model of the
// request rules expects, in file order, no order text that the checks refuse may reach
// the placement, and every message sent to the server must be a well-formed order.
#include "base/cp1252.h"
#include "base/files.h"
#include "base/numbers.h"
#include "base/split_fields.h"
#include "external/command_line.h"
#include "views/external_orders.h"
#include "external/file_drop.h"
#include "support/trading_fixture.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <stdlib.h>

namespace {

using namespace kavex;
namespace fs = std::filesystem;

[[noreturn]] void fault(const char* what, std::string_view a = {}, std::string_view b = {}) {
    std::fprintf(stderr, "file drop fault: %s\n  [%.*s]\n  [%.*s]\n", what, static_cast<int>(a.size()),
                 a.data(), static_cast<int>(b.size()), b.data());
    std::abort();
}

void checkPlaceMessage(const std::string& framed) {
    if (framed.size() < 2 || framed.front() != '\x01' || framed.back() != '\x02') fault("unframed", framed);
    std::string_view body(framed.data() + 1, framed.size() - 2);
    if (body.find_first_of("\x01\x02\n") != std::string_view::npos) fault("control character in order", body);
    if (!body.starts_with("@PO=")) fault("not an order", body);
    Fields f = SplitFields(body.substr(4), ";", 20);
    if (f.count() != 10) fault("order field count", body);
    if (parseInt32(f[2]) >= 0) fault("external order without negative number", body);
    int instrument = parseInt32(f[3]);
    if (instrument < 1 || instrument > 2) fault("instrument", body);
    if (f[4] != "BUY " && f[4] != "SEL ") fault("side", body);
    if (f[5] != "MKT" && f[5] != "LMT" && f[5] != "STP" && f[5] != "MOC") fault("type", body);
    if (!isNumberText(f[6]) || parseInt32(f[6]) < 1 ||
        f[6].find_first_not_of("0123456789") != std::string::npos)
        fault("quantity", body);
    if ((f[5] == "LMT" || f[5] == "STP") && !(parseSingle(f[7]) > 0)) fault("limit", body);
}

struct CheckingCommands : ExternalCommands {
    explicit CheckingCommands(ExternalOrders& r, test::FakeTcpClient& s) : real(r), socket(s) {}
    ExternalOrderResult placeOrder(std::string_view text) override {
        if (auto problem = orderTextProblem(text)) fault("refused order text placed", text, *problem);
        calls.push_back("PO " + std::string(text));
        std::size_t before = socket.sent.size();
        ExternalOrderResult result = real.placeOrder(text);
        if (socket.sent.size() > before + 1) fault("more than one message for one order", text);
        for (std::size_t i = before; i < socket.sent.size(); ++i)
            checkPlaceMessage(socket.sent[i]);
        return result;
    }
    void cancelOrder(int32_t id) override {
        calls.push_back("CO " + std::to_string(id));
        real.cancelOrder(id);
    }
    void closeAllPositions() override { calls.push_back("GL"); }
    void cancelAllOrders() override {
        calls.push_back("CA");
        real.cancelAllOrders();
    }
    ExternalOrders& real;
    test::FakeTcpClient& socket;
    std::vector<std::string> calls;
};

// The request rules, plainly: items end at a comma or a line end; comments and empty
// items are skipped; the first field picks the command, compared exactly.
std::vector<std::string> expectedCalls(const std::string& text) {
    std::vector<std::string> items;
    std::string item;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == ',' || c == '\r' || c == '\n') {
            items.push_back(item);
            item.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            item += c;
        }
    }
    if (!item.empty()) items.push_back(item);

    std::vector<std::string> calls;
    for (const std::string& line : items) {
        if (line.empty() || line[0] == '\'') continue;
        std::string command = line.substr(0, line.find(';'));
        if (command == "@PO") {
            std::string orderText = line.size() > 4 ? line.substr(4) : "";
            if (!orderTextProblem(orderText)) calls.push_back("PO " + orderText);
        } else if (command == "@CO") {
            std::size_t from = line.find(';') + 1;
            std::string id = from == 0 ? "" : line.substr(from, line.find(';', from) - from);
            try {
                if (isNumberText(id)) calls.push_back("CO " + std::to_string(parseInt32(id)));
            } catch (const Failure&) {
            }
        } else if (command == "@GL") {
            calls.push_back("GL");
        } else if (command == "@CA") {
            calls.push_back("CA");
        }
    }
    return calls;
}

// A folder in memory where the system has one, so forcing the journal to disk costs nothing.
struct ScratchFolder {
    ScratchFolder() {
        std::error_code ec;
        fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string name = (base / "kavex-fuzz-XXXXXX").string();
        root = ::mkdtemp(name.data());
    }
    ~ScratchFolder() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    fs::path root;
};

struct Env {
    Env() {
        fixture.data.instruments.at(1).ZeltickerCode = "SAP1";
        fixture.data.instruments.at(2).ZeltickerCode = "BMW1";
        fixture.rebuild();
        drop.setActive(true);
    }
    ScratchFolder dir;
    WorkingDirectory folder{dir.root};
    test::TradingFixture fixture;
    ExternalOrders external{fixture.data, fixture.actions, fixture.placement, fixture.orderGrid,
                            fixture.grid, fixture.columns, fixture.prompts};
    CheckingCommands commands{external, fixture.socket};
    TextList log;
    FileDrop drop{fixture.loop, folder, log, commands};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Env env;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const fs::path request = env.dir.root / FileDrop::kRequestFile;
    {
        std::ofstream out(request, std::ios::binary);
        out << bytes;
    }
    fs::last_write_time(request, fs::file_time_type::clock::now() - std::chrono::seconds(5));

    env.commands.calls.clear();
    const std::size_t ticks = size / FileDrop::kItemsPerTick + 4;
    for (std::size_t t = 0; t < ticks && (env.drop.working() || fs::exists(request)); ++t)
        env.fixture.loop.advance(FileDrop::kTickMs);
    if (env.drop.working() || fs::exists(request)) fault("request file not worked off", bytes);
    if (fs::exists(env.dir.root / FileDrop::kWorkFile) || fs::exists(env.dir.root / FileDrop::kJournalFile))
        fault("work file or journal left behind", bytes);

    std::vector<std::string> expected = expectedCalls(cp1252::toUtf8(bytes));
    if (env.commands.calls != expected) {
        std::string got, want;
        for (const auto& c : env.commands.calls)
            got += c + "|";
        for (const auto& c : expected)
            want += c + "|";
        fault("calls differ from the model", got, want);
    }

    env.fixture.socket.sent.clear();
    env.fixture.outgoing.clear();
    env.fixture.log.clear();
    env.fixture.bridgeLog.clear();
    env.fixture.prompts.asked.clear();
    env.log.clear();
    std::error_code ec;
    fs::remove(env.dir.root / FileDrop::kProtocolFile, ec);
    return 0;
}
