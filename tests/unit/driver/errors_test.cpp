#include "driver/errors.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrano::driver {
namespace {

struct DescriptionCase {
    std::int32_t code;
    std::string description;
    std::string defaultText;
    std::string expected;
};

class ErrorDescriptionTest : public ::testing::TestWithParam<DescriptionCase> {};

TEST_P(ErrorDescriptionTest, GivesTheCatalogueTextOrTheCallersText) {
    const DescriptionCase& c = GetParam();
    EXPECT_EQ(GetErrorDescription(c.code, c.description, c.defaultText), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, ErrorDescriptionTest,
    ::testing::Values(
        DescriptionCase{0, "", "", "Нет ошибок"}, DescriptionCase{70, "", "", "Устройство не включено"},
        DescriptionCase{74, "", "", "Истек таймаут ожидания"},
        DescriptionCase{201, "", "", "Операция отменена пользователем"},
        DescriptionCase{1001, "", "", "Неизвестная ошибка"},
        DescriptionCase{1013, "", "", "Устройство не найдено"},
        DescriptionCase{1019, "", "",
                        "Использование более одного экземпляра устройства одновременно невозможно"},
        DescriptionCase{1020, "", "", "Неверные параметры устройства"},
        DescriptionCase{2001, "", "", "Буфер данных пуст"},
        DescriptionCase{8001, "", "", "Буфер данных пуст"},
        DescriptionCase{3002, "", "", "Длительность смены превысила 24 часа. Необходимо снять Z-отчет"},
        DescriptionCase{3006, "", "", "Недостаточно наличных в кассе"},
        DescriptionCase{3017, "", "", "Недостаточно наличности в кассе"},
        DescriptionCase{3020, "", "", "Значение признака предмета расчёта вне допустимого диапазона"},
        DescriptionCase{3030, "", "", "Некорректный телефон или email покупателя"},
        DescriptionCase{4008, "", "", "Pinpad не вернул текст чека"},
        DescriptionCase{16002, "", "", "Кофемашина в сосотояни ожидания запроса на приготовление продукта"},
        DescriptionCase{18001, "", "", "Заказ не найден"}, DescriptionCase{99001, "", "", "Ошибок нет"},
        DescriptionCase{99107, "", "",
                        "Ошибка команды, либо команда не поддерживается данным устройством, либо переданны "
                        "некорректные данные"},
        DescriptionCase{99115, "", "",
                        "Специфичная для данного класса устройств ошибка. Расширенная информация в "
                        "дополнительном описании ошибки"},
        // Codes between the catalogue's entries are unknown.
        DescriptionCase{3016, "", "", "Неизвестная ошибка"},
        DescriptionCase{5555, "", "", "Неизвестная ошибка"},
        DescriptionCase{-1, "", "", "Неизвестная ошибка"},
        DescriptionCase{5555, "", "Принтер молчит", "Принтер молчит"},
        // The caller's description wins unless the code says there was no error.
        DescriptionCase{1013, "Порт COM3 занят", "", "Порт COM3 занят"},
        DescriptionCase{5555, "Своя ошибка", "Запасной текст", "Своя ошибка"},
        DescriptionCase{0, "Что-то случилось", "", "Нет ошибок"}));

TEST(ResultRecordTest, ANewRecordReadsAsSuccess) {
    const ResultRecord result;
    EXPECT_EQ(result.GetIntResult(), 0);
    EXPECT_EQ(result.ErrorDescription, "");
    EXPECT_TRUE(result.BoolResult);
}

TEST(ResultRecordTest, FailureThenClearReturnsToSuccess) {
    ResultRecord result;
    result.SetError("Смена закрыта", 3005);
    EXPECT_FALSE(result.BoolResult);
    EXPECT_EQ(result.GetIntResult(), 3005);
    EXPECT_EQ(result.ErrorDescription, "Смена закрыта");

    result.Clear();
    EXPECT_TRUE(result.BoolResult);
    EXPECT_EQ(result.GetIntResult(), 0);
    EXPECT_EQ(result.ErrorDescription, "");
}

TEST(ResultRecordTest, AFailureWithoutCodeStillReadsAsAFailure) {
    ResultRecord result;
    result.SetError("Abstract Error", 0);
    EXPECT_EQ(result.GetIntResult(), 1001);
}

TEST(EquExceptionTest, CarriesItsCodeAndMessage) {
    const EquException error(1004, "Ошибка входных параметров команды");
    EXPECT_EQ(error.Code, 1004);
    EXPECT_STREQ(error.what(), "Ошибка входных параметров команды");
    EXPECT_EQ(error.StrCode, "");
}

} // namespace
} // namespace veltrano::driver
