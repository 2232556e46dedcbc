// The host method and property tables of the built module and the slot operations over them.
#include "host_testhost_fixture.h"

namespace veltrano::testhost::tests {
namespace {

struct Entry {
    const char* russian;
    const char* english;
    long params;
};

const Entry kTable[38] = {
    {"ПолучитьРевизиюИнтерфейса", "GetInterfaceRevision", 0},
    {"SetExternalDeviceId", "SetExternalDeviceId", 1},
    {"ПолучитьПараметрыККТ", "GetDataKKT", 2},
    {"ОперацияФН", "OperationFN", 3},
    {"ОткрытьСмену", "OpenShift", 3},
    {"ЗакрытьСмену", "CloseShift", 3},
    {"СформироватьЧек", "ProcessCheck", 4},
    {"СформироватьЧекКоррекции", "ProcessCorrectionCheck", 4},
    {"НапечататьТекстовыйДокумент", "PrintTextDocument", 2},
    {"НапечататьЧекВнесенияВыемки", "CashInOutcome", 3},
    {"НапечататьОтчетБезГашения", "PrintXReport", 2},
    {"ПолучитьТекущееСостояние", "GetCurrentStatus", 3},
    {"ОтчетОТекущемСостоянииРасчетов", "ReportCurrentStatusOfSettlements", 3},
    {"ОткрытьДенежныйЯщик", "OpenCashDrawer", 1},
    {"ПолучитьШиринуСтроки", "GetLineLength", 2},
    {"НапечататьКопиюЧека", "PrintCheckCopy", 2},
    {"ОткрытьСессиюРегистрацииКМ", "OpenSessionRegistrationKM", 1},
    {"ЗакрытьСессиюРегистрацииКМ", "CloseSessionRegistrationKM", 1},
    {"ЗапросКМ", "RequestKM", 3},
    {"ПолучитьРезультатыЗапросаКМ", "GetProcessingKMResult", 3},
    {"ПодтвердитьКМ", "ConfirmKM", 3},
    {"УстановитьДатуВремя", "SetDateTime", 2},
    {"ПолучитьДатуВремя", "GetDateTime", 2},
    {"ПолучитьИнформациюПоДокументу", "GetDocumentInformation", 3},
    {"ПолучитьРевизиюИнтерфейса", "GetInterfaceRevision", 0},
    {"ПолучитьОписание", "GetDescription", 1},
    {"ПолучитьОшибку", "GetLastError", 1},
    {"ПодключитьОборудование", "ConnectEquipment", 3},
    {"ОтключитьОборудование", "DisconnectEquipment", 1},
    {"ПараметрыОборудования", "EquipmentParameters", 2},
    {"УстановитьПараметр", "SetParameter", 2},
    {"ТестированиеОборудования", "EquipmentTest", 4},
    {"ПолучитьДополнительныеДействия", "GetAdditionalActions", 1},
    {"ВыполнитьДополнительноеДействие", "DoAdditionalAction", 1},
    {"АвтонастройкаОборудования", "EquipmentAutoSetup", 5},
    {"УстановитьИнформациюПриложения", "SetApplicationInformation", 1},
    {"ПолучитьШаблонЛокализации", "GetLocalizationPattern", 1},
    {"УстановитьЛокализацию", "SetLocalization", 2},
};

class HostTables : public HostTest {};

TEST_F(HostTables, ThirtyEightMethodsInBothLanguages) {
    ASSERT_EQ(component->NMethods(), 38);
    for (long i = 0; i < 38; ++i) {
        EXPECT_EQ(component->MethodName(i, 0), kTable[i].english) << "index " << i;
        EXPECT_EQ(component->MethodName(i, 1), kTable[i].russian) << "index " << i;
        EXPECT_EQ(component->NParams(i), kTable[i].params) << "index " << i;
        EXPECT_TRUE(component->HasRetVal(i)) << "index " << i;
    }
    // Any alias other than 0 gives the Russian name.
    EXPECT_EQ(component->MethodName(25, 2), "ПолучитьОписание");
    EXPECT_EQ(component->MethodName(25, -1), "ПолучитьОписание");
}

TEST_F(HostTables, FindMethodByEitherNameExactCase) {
    for (long i = 0; i < 38; ++i) {
        const long expected = (i == 24) ? 0 : i; // the twin of entry 0 is reachable only by index
        EXPECT_EQ(component->FindMethod(kTable[i].russian), expected) << kTable[i].russian;
        EXPECT_EQ(component->FindMethod(kTable[i].english), expected) << kTable[i].english;
    }
    EXPECT_EQ(component->FindMethod("ПолучитьРевизиюИнтерфейса"), 0);
    EXPECT_EQ(component->FindMethod("GetInterfaceRevision"), 0);
    EXPECT_EQ(component->FindMethod("получитьревизиюинтерфейса"), -1);
    EXPECT_EQ(component->FindMethod("getinterfacerevision"), -1);
    EXPECT_EQ(component->FindMethod("ПОЛУЧИТЬОШИБКУ"), -1);
    EXPECT_EQ(component->FindMethod("GetLastError "), -1);
    EXPECT_EQ(component->FindMethod(""), -1);
    EXPECT_EQ(component->FindMethodW(nullptr), -1);
    EXPECT_EQ(component->MethodName(24, 1), "ПолучитьРевизиюИнтерфейса");
    EXPECT_EQ(component->NParams(24), 0);
}

TEST_F(HostTables, GetParamDefValueIsAlwaysFalse) {
    for (long i = 0; i < 38; ++i)
        for (long p = 0; p < 6; ++p) {
            const auto [found, value] = component->ParamDefValue(i, p);
            EXPECT_FALSE(found) << i << "/" << p;
            EXPECT_TRUE(value.IsEmpty());
        }
    EXPECT_FALSE(component->ParamDefValue(38, 0).first);
    EXPECT_FALSE(component->ParamDefValue(-1, 0).first);
}

TEST_F(HostTables, TheProperty) {
    ASSERT_EQ(component->NProps(), 1);
    EXPECT_EQ(component->PropName(0, 0), "LogEnabled");
    EXPECT_EQ(component->PropName(0, 1), "ЛогВключен");
    EXPECT_TRUE(component->IsPropReadable(0));
    EXPECT_TRUE(component->IsPropWritable(0));
    EXPECT_EQ(component->FindProp("LogEnabled"), 0);
    EXPECT_EQ(component->FindProp("ЛогВключен"), 0);
    EXPECT_EQ(component->FindProp("logenabled"), -1);
    EXPECT_EQ(component->FindProp("ЛОГВКЛЮЧЕН"), -1);
    EXPECT_EQ(component->FindPropW(nullptr), -1);
}

TEST_F(HostTables, PropertySetAndGetInBothNames) {
    EXPECT_TRUE(component->SetProp("LogEnabled", Value::Bool(true)).returned);
    PropResult read = component->GetProp("ЛогВключен");
    EXPECT_TRUE(read.returned);
    ASSERT_TRUE(read.value.IsBool());
    EXPECT_TRUE(read.value.boolean);
    EXPECT_TRUE(component->SetProp("ЛогВключен", Value::Bool(false)).returned);
    read = component->GetProp("LogEnabled");
    ASSERT_TRUE(read.value.IsBool());
    EXPECT_FALSE(read.value.boolean);
    EXPECT_TRUE(host->Connection().Errors().empty());
}

TEST_F(HostTables, OutOfRangeIndexesAnswerFalseZeroOrNull) {
    for (long index : {-1L, 38L, 1000L}) {
        EXPECT_EQ(component->MethodName(index, 0), std::nullopt);
        EXPECT_EQ(component->MethodName(index, 1), std::nullopt);
        EXPECT_EQ(component->NParams(index), 0);
        EXPECT_FALSE(component->HasRetVal(index));
        const CallResult call = component->CallIndex(index, {Value::Empty()});
        EXPECT_FALSE(call.returned);
        EXPECT_TRUE(call.result.IsEmpty());
        EXPECT_FALSE(component->CallIndex(index, {}, false).returned);
    }
    for (long index : {-1L, 1L, 99L}) {
        EXPECT_EQ(component->PropName(index, 0), std::nullopt);
        EXPECT_FALSE(component->IsPropReadable(index));
        EXPECT_FALSE(component->IsPropWritable(index));
        EXPECT_FALSE(component->PropVal(index).returned);
        EXPECT_FALSE(component->SetPropVal(index, Value::Bool(true)).returned);
    }
    EXPECT_TRUE(host->Connection().Errors().empty());
}

} // namespace
} // namespace veltrano::testhost::tests
