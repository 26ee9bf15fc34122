#include "community/documents.h"

#include "base/failure.h"
#include "base/files.h"
#include "base/split_fields.h"
#include "base/text_list.h"
#include "community/client_files.h"
#include "community/file_transfer.h"
#include "platform/event_loop.h"
#include "protocol/message_dispatcher.h"

#include <algorithm>
#include <vector>

namespace kavex {
namespace {

// No blank after the tag: the description follows it directly.
constexpr std::string_view kTag = "WS_SD";
constexpr std::string_view kFilePrefix = "FILE=";

} // namespace

Documents::Documents(WorkingDirectory& folder, EventLoop& loop, TextList& log, TextList& outgoing,
                     DocumentHooks hooks)
    : folder_(folder), loop_(loop), log_(log), outgoing_(outgoing), hooks_(std::move(hooks)) {}

void Documents::bind(MessageDispatcher& dispatcher) {
    dispatcher.setHandler(Handler::Document, [this](std::string_view t) { onDocument(t); });
    dispatcher.setHandler(Handler::Annotation, [this](std::string_view t) { onAnnotation(t); });
}

void Documents::onDocument(std::string_view text) {
    const Fields f = SplitFields(text, ";", kMaxFields);
    const int count = std::min(f.count(), kMaxFields);
    for (int i = 1; i <= count; ++i)
        outgoing_.addLine(std::string(f[i]));
    std::string_view name = f[1];
    if (name.starts_with(kFilePrefix)) name.remove_prefix(kFilePrefix.size());
    // The file is written in one step (a temporary file renamed over the old one), so a
    // failure gives one line and leaves any earlier file of that name as it was.
    guard(log_, kTag, [&] {
        if (!isReceivableFileName(name)) throw Failure("Refused file name: " + std::string(name));
        std::vector<std::string> lines;
        lines.reserve(static_cast<std::size_t>(std::max(count - 1, 0)));
        for (int i = 2; i <= count; ++i)
            lines.emplace_back(f[i]);
        writeTextLines(folder_.path(name), lines);
    });
    if (hooks_.fillStatementList) guard(log_, kTag, [&] { hooks_.fillStatementList(); });
}

void Documents::onAnnotation(std::string_view text) {
    skipOnFailure([&] {
        const std::string shown = timeOfDayText(loop_.now()) + " " + std::string(text);
        if (shownAnnotations_.insert(std::string(text)).second || !hooks_.showNote) {
            if (hooks_.showError) hooks_.showError(shown);
        } else {
            hooks_.showNote(shown);
        }
    });
}

} // namespace kavex
