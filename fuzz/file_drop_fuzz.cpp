// Arbitrary bytes as a request file of the file-drop interface, through the polling
// tick: reading, the split into request lines and fields, the checks and the dispatch.
//
// The order operations are the real ones over a small order grid, behind a layer that
// checks what reaches them: the calls must be exactly those that a plain model of the
// request rules expects, in file order; every order text gets exactly one answer for the
// front-end ("@OC" when it went out, "@ER" when not), on one line; and every message sent
// to the server is a well-formed order whose type is what the model makes of field 4.
#include "base/cp1252.h"
#include "base/files.h"
#include "base/numbers.h"
#include "base/split_fields.h"
#include "external/command_line.h"
#include "external/file_drop.h"
#include "support/trading_fixture.h"
#include "views/external_orders.h"

#include <algorithm>
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

// The order type as the rules give it: the first three characters of field 4 (characters,
// not bytes), padded with blanks, with control characters and double quotes as blanks.
std::string expectedType(std::string_view orderText) {
    std::string_view field = orderText;
    for (int n = 1; n < 4; ++n) {
        std::size_t cut = field.find(';');
        field = cut == std::string_view::npos ? std::string_view{} : field.substr(cut + 1);
    }
    field = field.substr(0, field.find(';'));
    std::string type;
    int chars = 0;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const auto b = static_cast<unsigned char>(field[i]);
        if ((b & 0xC0) != 0x80 && ++chars > 3) break;
        type += b < 0x20 || b == 0x7F || b == '"' ? ' ' : field[i];
    }
    return type + std::string(static_cast<std::size_t>(std::max(0, 3 - std::min(chars, 3))), ' ');
}

bool isIntegerText(std::string_view text) {
    if (text.starts_with('-')) text.remove_prefix(1);
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

void checkPlaceMessage(const std::string& framed, const std::string& type) {
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
    if (cp1252::toUtf8(f[5]) != type) fault("type", body, type);
    if (!isIntegerText(f[6])) fault("quantity", body);
    if (!isNumberText(f[7]) || !isNumberText(f[8])) fault("limit", body);
}

// One answer to the front-end, on one line: "@OC" when the order went out, "@ER" when not.
void checkAnswer(const std::vector<std::string>& answers, std::size_t before, ExternalOrderResult result,
                 std::string_view text) {
    if (answers.size() != before + 1) fault("not exactly one answer for an order text", text);
    const std::string& a = answers.back();
    if (a.size() < 2 || a.front() != '\x01' || a.back() != '\x02') fault("unframed answer", a);
    std::string_view body(a.data() + 1, a.size() - 2);
    for (char c : body)
        if (static_cast<unsigned char>(c) < 0x20) fault("control character in an answer", body);
    if (body.starts_with("@OC;") != (result == ExternalOrderResult::Placed)) fault("answer", text, body);
    if (!body.starts_with("@OC;") && !body.starts_with("@ER;")) fault("answer", text, body);
}

struct CheckingCommands : ExternalCommands {
    explicit CheckingCommands(ExternalOrders& r, test::FakeTcpClient& s) : real(r), socket(s) {
        real.sendToBridge = [this](std::string_view framed) { answers.emplace_back(framed); };
    }
    ExternalOrderResult placeOrder(std::string_view text) override {
        calls.push_back("PO " + std::string(text));
        const std::size_t before = socket.sent.size();
        const std::size_t answered = answers.size();
        ExternalOrderResult result = real.placeOrder(text);
        if (socket.sent.size() != before + (result == ExternalOrderResult::Placed ? 1 : 0))
            fault("not one message for a placed order", text);
        for (std::size_t i = before; i < socket.sent.size(); ++i)
            checkPlaceMessage(socket.sent[i], expectedType(text));
        checkAnswer(answers, answered, result, text);
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
    std::vector<std::string> answers;
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
            calls.push_back("PO " + orderText);
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
        fixture.placement.bridgeNewOrderId = [this](const std::string& ref, int32_t id) {
            external.reportNewOrderId(ref, id);
        };
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
    env.commands.answers.clear();
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
