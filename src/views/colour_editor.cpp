#include "views/colour_editor.h"

#include "platform/services.h"
#include "views/colour_roles.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace kavex {
namespace {

int rgb(double r, double g, double b) {
    auto channel = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    return channel(r) + 256 * channel(g) + 65536 * channel(b);
}

// Hue in degrees, lightness 0..1, full saturation.
int fromHueLightness(double hue, double lightness) {
    const double chroma = (1 - std::fabs(2 * lightness - 1));
    const double sector = hue / 60;
    const double x = chroma * (1 - std::fabs(std::fmod(sector, 2.0) - 1));
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(sector) % 6) {
    case 0:
        r = chroma, g = x;
        break;
    case 1:
        r = x, g = chroma;
        break;
    case 2:
        g = chroma, b = x;
        break;
    case 3:
        g = x, b = chroma;
        break;
    case 4:
        r = x, b = chroma;
        break;
    default:
        r = chroma, b = x;
        break;
    }
    const double m = lightness - chroma / 2;
    return rgb(r + m, g + m, b + m);
}

} // namespace

int ColourEditor::paletteColour(int column, int row) {
    column = std::clamp(column, 0, kPaletteColumns - 1);
    row = std::clamp(row, 0, kPaletteRows - 1);
    if (row == 0) {
        const double grey = static_cast<double>(column) / (kPaletteColumns - 1);
        return rgb(grey, grey, grey);
    }
    return fromHueLightness(column * 360.0 / kPaletteColumns, static_cast<double>(row) / kPaletteRows);
}

void ColourEditor::fillRoleList() {
    std::vector<std::string> names;
    for (std::string_view name : ColourRoles::roleNames())
        names.emplace_back(name);
    roleList.setLines(std::move(names));
}

void ColourEditor::chooseRole(int index) {
    if (index < 0 || index >= static_cast<int>(roleList.size())) {
        selected_ = -1;
        return;
    }
    selected_ = index;
    preview_ = colours_[index + 1];
    if (previewChanged) previewChanged(preview_);
}

// Without a selected role a colour only goes into the swatch.
void ColourEditor::choose(int colour) {
    preview_ = colour;
    if (selected_ >= 0) colours_.set(selected_ + 1, colour);
    if (previewChanged) previewChanged(preview_);
}

void ColourEditor::choosePaletteColour(int column, int row) {
    choose(paletteColour(column, row));
}

void ColourEditor::chooseOtherColour() {
    int colour = preview_;
    if (prompts_.chooseColour(colour)) choose(colour);
}

} // namespace kavex
