// Host memory: everything the add-in hands over is allocated by the host's manager and comes back to it;
// nothing is left behind after DestroyObject.
#include "host_testhost_fixture.h"

namespace veltrano::testhost::tests {
namespace {

class HostMemoryTest : public HostTest {};

TEST_F(HostMemoryTest, EverythingComesBackAfterDestroyObject) {
    const std::size_t before = host->Memory().AllocationCount();
    component->MethodName(3, 1);
    component->PropName(0, 0);
    component->Call("ПолучитьОписание", {Value::Empty()});
    component->Call("ПараметрыОборудования", {Value::Text(""), Value::Empty()});
    component->Call("ПолучитьДополнительныеДействия", {Value::Empty()});
    component->Call("ВыполнитьДополнительноеДействие", {Value::Text("NoSuchAction")});
    component->LastError();
    component->Call("УстановитьИнформациюПриложения", {Value::Null()}); // a host error description
    component->GetProp("LogEnabled");
    component->Call("АвтонастройкаОборудования", {Value::Empty(), Value::Text("x"), Value::Text("replaced"),
                                                  Value::Empty(), Value::Empty()});
    EXPECT_GT(host->Memory().AllocationCount(), before);
    component->Destroy();
    EXPECT_EQ(host->Memory().Outstanding(), 0u) << host->Memory().OutstandingBytes() << " bytes held";
    EXPECT_EQ(host->Memory().ForeignFrees(), 0u) << "the add-in returned memory that was never the host's";
}

TEST_F(HostMemoryTest, OutParameterReplacesTheHostsTextThroughTheManager) {
    const std::size_t freesBefore = host->Memory().FreeCount();
    const CallResult call =
        component->Call("ПолучитьОписание", {Value::Text("old text the add-in must free")});
    EXPECT_TRUE(call.Succeeded());
    // The host's input text was returned to the manager by the add-in (V8ClearVar) before the out value.
    EXPECT_GT(host->Memory().FreeCount(), freesBefore);
    EXPECT_EQ(host->Memory().Outstanding(), 0u);
    EXPECT_EQ(host->Memory().ForeignFrees(), 0u);
}

TEST_F(HostMemoryTest, RefusedAllocationsGiveNullNamesAndNoCrash) {
    host->Memory().SetRefuseAllocations(true);
    EXPECT_EQ(component->MethodName(0, 0), std::nullopt);
    EXPECT_EQ(component->PropName(0, 1), std::nullopt);
    const CallResult call = component->Call("УстановитьИнформациюПриложения", {Value::Null()});
    EXPECT_FALSE(call.returned);
    ASSERT_EQ(call.hostErrors.size(), 1u);
    EXPECT_EQ(call.hostErrors[0].description, "") << "no manager memory: the description is null";
    component->Call("ПолучитьОписание", {Value::Empty()});
    component->Call("ПолучитьОшибку", {Value::Empty()});
    host->Memory().SetRefuseAllocations(false);
    EXPECT_EQ(component->MethodName(0, 0), "GetInterfaceRevision");
    component->Destroy();
    EXPECT_EQ(host->Memory().Outstanding(), 0u);
}

TEST(HostMemoryRaw, ComponentWithoutMemoryManagerOrConnection) {
    TempDataFolder data;
    TestHost host;
    auto component = host.Create("Veltrano", /*platformOrder=*/false);
    ASSERT_NE(component, nullptr);
    EXPECT_EQ(component->MethodName(0, 0), std::nullopt);
    EXPECT_EQ(component->NMethods(), 38);
    EXPECT_EQ(component->Call("ПолучитьРевизиюИнтерфейса").result.integer, 4004);
    // Errors have nowhere to go, but nothing crashes.
    EXPECT_FALSE(component->Call("УстановитьИнформациюПриложения", {Value::Null()}).returned);
    EXPECT_FALSE(component->CallIndex(24, {}).returned);
    component->Call("ПолучитьОписание", {Value::Empty()});
    EXPECT_TRUE(host.Connection().Errors().empty());
}

} // namespace
} // namespace veltrano::testhost::tests
