#include "platform/qt/qt_sound.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace kavex {
namespace {

// A handful of files are played (executions, chat, the settings' preview); more distinct
// files than this start the cache afresh.
constexpr std::size_t kMaxEffects = 16;

} // namespace

QtSound::QtSound() = default;

QtSound::~QtSound() = default;

void QtSound::play(const std::string& waveFile) {
    const QFileInfo file(QString::fromStdString(waveFile));
    if (!file.isFile() || !file.isReadable()) return;
    const QString path = file.absoluteFilePath();
    auto found = effects_.find(path);
    if (found == effects_.end()) {
        if (effects_.size() >= kMaxEffects) effects_.clear();
        auto effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl::fromLocalFile(path));
        found = effects_.emplace(path, std::move(effect)).first;
    }
    QSoundEffect& effect = *found->second;
    if (effect.status() == QSoundEffect::Error) return;
    // Starts at once when loaded, or as soon as loading has finished.
    effect.play();
}

} // namespace kavex
