#pragma once
// The colour-editing controls of the tab "Sonstiges": the list of colour roles, the
// palette picture, the preview swatch and the button "Mehr...". Edited colours go into
// the colour table at once; the grids show them after "Anwenden" or a scheme choice.
#include "base/text_list.h"

#include <functional>

namespace kavex {

class ColourRoles;
class Prompts;

class ColourEditor {
  public:
    // The palette picture: row 0 runs from black to white, rows 1 to 7 hold twelve hues
    // (every 30 degrees from red) from dark to light, fully saturated in row 4.
    static constexpr int kPaletteColumns = 12;
    static constexpr int kPaletteRows = 8;
    static int paletteColour(int column, int row);

    ColourEditor(ColourRoles& colours, Prompts& prompts) : colours_(colours), prompts_(prompts) {}

    // Fills the role list with the role names in role order.
    void fillRoleList();
    // Selects role list position `index` (-1: none); the swatch shows place index + 1.
    void chooseRole(int index);
    // The colour under the pointer goes into the swatch and into the selected role.
    void choosePaletteColour(int column, int row);
    // "Mehr...": the system colour dialog, opened with the swatch's colour; cancel changes nothing.
    void chooseOtherColour();

    TextList roleList;
    int selectedRole() const { return selected_; } // list position, -1 for none
    int preview() const { return preview_; }
    std::function<void(int colour)> previewChanged; // set by the view

  private:
    void choose(int colour);

    ColourRoles& colours_;
    Prompts& prompts_;
    int selected_ = -1;
    int preview_ = 0;
};

} // namespace kavex
