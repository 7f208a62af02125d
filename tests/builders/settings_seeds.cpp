#include "builders/seeds.h"
#include "builders/settings_builder.h"

namespace torvale::test {

Seeds SettingsSeeds() {
    Seeds seeds;
    seeds.emplace_back("first_run_52", SettingsFileBytes(Settings{}));
    seeds.emplace_back("distinct_85", SettingsFileBytes(DistinctSettings()));
    Settings longTexts = DistinctSettings();
    longTexts.fontName.assign(255, 'F');
    longTexts.pofgenPath.assign(255, 'P');
    seeds.emplace_back("texts_255", SettingsFileBytes(longTexts));
    Bytes cut = SettingsFileBytes(DistinctSettings());
    cut.resize(40);  // ends inside the font name
    seeds.emplace_back("cut_in_font_name", cut);
    return seeds;
}

}  // namespace torvale::test
