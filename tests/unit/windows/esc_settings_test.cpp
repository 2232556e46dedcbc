#include "esc_settings.h"

#include <gtest/gtest.h>

namespace veltrano::windows {
namespace {

using window_protocol::PrinterModel;

PrinterModel Model(std::int32_t index, std::string name,
                   std::initializer_list<std::pair<std::size_t, const char*>> codes) {
    PrinterModel model;
    model.PrinterIndex = index;
    model.PrinterName = std::move(name);
    for (const auto& [row, code] : codes)
        model.Codes[row] = code;
    return model;
}

// A few models in the order the presets carry them, not the order the list shows them.
std::vector<PrinterModel> Models() {
    return {
        Model(1, "Axiohm A794", {{0, "27+64"}, {2, "29+86+48"}}),
        Model(9, "Advanpos WP-T800", {{0, "27+64"}, {5, "27+69+255"}}),
        Model(19, "Star TSP100 (Star Line)", {{1, "27+29+116+10"}, {2, "27+100+1"}, {9, "27+69"}}),
        Model(18, "Штрих-700", {{0, "27+64+27+80"}, {2, "12"}}),
        Model(20, "CUSTOM VKP80III", {{0, "27+64"}}),
        Model(3, "star SP500", {{0, "27+64+27+77+27+48"}}),
    };
}

std::size_t ItemNamed(const EscSettings& settings, std::string_view name) {
    for (std::size_t i = 0; i < settings.Items().size(); ++i)
        if (settings.Items()[i].Name == name)
            return i;
    ADD_FAILURE() << name;
    return 0;
}

TEST(EscSettings, OpensOnTheManualEntryWithEveryValueEmpty) {
    const EscSettings settings(Models());
    EXPECT_EQ(settings.Selected(), 0u);
    EXPECT_EQ(settings.Items()[0].Name, "Ручная установка");
    EXPECT_FALSE(settings.ModelShown());
    EXPECT_EQ(settings.Values(), EscValues{});
}

TEST(EscSettings, ListsTheManualEntryFirstThenTheModelsByNameWithoutRegardToCase) {
    const EscSettings settings(Models());
    std::vector<std::string> names;
    for (const EscListItem& item : settings.Items())
        names.push_back(item.Name);
    EXPECT_EQ(names, (std::vector<std::string>{"Ручная установка", "Advanpos WP-T800", "Axiohm A794",
                                               "CUSTOM VKP80III", "star SP500", "Star TSP100 (Star Line)",
                                               "Штрих-700"}));
}

TEST(EscSettings, ChoosingAModelShowsItsCodesRowByRow) {
    EscSettings settings(Models());
    settings.Choose(ItemNamed(settings, "Star TSP100 (Star Line)"));
    EXPECT_TRUE(settings.ModelShown());
    EXPECT_EQ(settings.Values()[0], "");
    EXPECT_EQ(settings.Values()[2], "27+100+1");
    EXPECT_EQ(settings.Values()[9], "27+69");
    EXPECT_EQ(window_protocol::EscFunctionTitles[2], "Отрезка");
    EXPECT_EQ(window_protocol::EscFunctionTitles[9], "Подчеркивание вкл.");
}

TEST(EscSettings, TypingIntoAModelsValueSwitchesToTheManualEntryAndKeepsEveryValue) {
    EscSettings settings(Models());
    settings.Choose(ItemNamed(settings, "Штрих-700"));
    settings.Edit(3, "7");
    EXPECT_EQ(settings.Selected(), 0u);
    EXPECT_FALSE(settings.ModelShown());
    EXPECT_EQ(settings.Values()[0], "27+64+27+80");
    EXPECT_EQ(settings.Values()[2], "12");
    EXPECT_EQ(settings.Values()[3], "7");
}

TEST(EscSettings, ChoosingTheManualEntryByHandClearsEveryValue) {
    EscSettings settings(Models());
    settings.Choose(ItemNamed(settings, "Axiohm A794"));
    settings.Edit(4, "1+2");
    settings.Choose(0);
    EXPECT_EQ(settings.Values(), EscValues{});
}

TEST(EscSettings, WithoutModelsOnlyTheManualEntryIsOffered) {
    EscSettings settings({});
    ASSERT_EQ(settings.Items().size(), 1u);
    settings.Choose(5);
    EXPECT_EQ(settings.Selected(), 0u);
}

} // namespace
} // namespace veltrano::windows
