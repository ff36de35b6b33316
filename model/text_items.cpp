// text_items.cpp — the store itself.
#include "model/text_items.h"

#include "model/decimal.h"

#include <array>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 46> Items = {
    // Periods T in days of Earth, Mercury, Venus, Mars, Jupiter.
    "365", "89", "223", "667", "700",
    // Orbit radii R in design-grid units, same order.
    "60", "23", "42", "80", "110",
    // The menu bar: a title, its items, "*" and an empty entry close a menu.
    "DESK |", "&Quit", "-------------", "&Info", "&Autor", "*", "",
    "SYSTEM |", "&Heliozentrisch", "&Geozentrisch", "&Beide", "*", "",
    "DARSTELLUNG |", "nur &Planeten", "nur &Bahnen", "Planten &und Bahnen", "&Vieleck ein/aus", "*", "",
    "PLANETEN |", "&nur Erde-Sonne", "&Merkur ein/aus", "&Venus ein/aus", "M&ars ein/aus", "&Jupiter aus/ein", "*", "",
    "SERVICE |", "Bildschirm &löschen", "&Hardcopy", "&Zeitschritt", "&Test", "*", "",
    "ende",
};

std::size_t readPosition = 0;

}  // namespace

void RestoreTextItems(int item) {
    readPosition = item < 0 ? 0 : static_cast<std::size_t>(item);
}

std::string ReadTextItem() {
    if (readPosition >= Items.size()) return {};
    return std::string(Items[readPosition++]);
}

double ReadNumberItem() {
    std::string text = ReadTextItem();
    double value = 0;
    ReadDecimal(text, value);
    return value;
}

double NumberItemAt(int item) {
    double value = 0;
    if (item >= 0 && static_cast<std::size_t>(item) < Items.size()) ReadDecimal(std::string(Items[item]), value);
    return value;
}
