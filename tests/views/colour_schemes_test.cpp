// The colour schemes shipped with the program: every text colour is readable (contrast of
// at least 4.5:1, relative luminance as in WCAG 2) on each background it is drawn over.
#include "base/text_list.h"
#include "views/colour_roles.h"
#include "views/grid_columns.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace kavex {
namespace {

double luminance(int colour) {
    auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour & 255) + 0.7152 * channel((colour >> 8) & 255) +
           0.0722 * channel((colour >> 16) & 255);
}

double contrast(int a, int b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

struct Scheme {
    const char* file;
    bool fixedCellsToo; // a dark scheme cannot reach the fixed light cells (titles, B/S)
};

TEST(ColourSchemes, EveryTextIsReadableOnEachBackgroundItIsDrawnOver) {
    const WorkingDirectory folder{KAVEX_SCHEMES_DIR};
    for (const Scheme& scheme : {Scheme{"hell.col", true}, Scheme{"dunkel.col", false}}) {
        TextList log;
        ColourRoles c;
        c.loadFile(folder, scheme.file, log);
        ASSERT_TRUE(log.empty()) << scheme.file;
        std::vector<std::pair<int, int>> pairs; // text, background
        for (int role : {OG_WPZeile, OG_Bid, OG_Ask, OG_Bestand, OG_OrderzeileA, OG_OrderzeileB, OG_TRANS,
                         OG_CANCEL, OG_BracketMain, OG_BracketChildCold, OG_BracketChildHot})
            pairs.emplace_back(c[OG_Schrift], c[role]);
        pairs.emplace_back(grid_colour::kHoldingText, c[OG_Bestand]);
        pairs.emplace_back(c[EG_Schrift], c[EG_ZeileA]);
        pairs.emplace_back(c[EG_Schrift], c[EG_ZeileB]);
        if (scheme.fixedCellsToo)
            for (int fixed :
                 {grid_colour::kTitle, grid_colour::kInstrumentMargin, grid_colour::kOrderMargin,
                  grid_colour::kBuy, grid_colour::kSell, grid_colour::kFinishedBuy,
                  grid_colour::kFinishedSell, grid_colour::kInactiveAction, grid_colour::kDefaultInstrument})
                pairs.emplace_back(c[OG_Schrift], fixed);
        for (auto [text, background] : pairs)
            EXPECT_GE(contrast(text, background), 4.5)
                << scheme.file << " text " << text << " on " << background;
    }
}

} // namespace
} // namespace kavex
