// The five exports of the built module, seen as the platform sees them.
#include "host_testhost_fixture.h"

#include <dlfcn.h>
#include <elf.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <set>

namespace veltrano::testhost::tests {
namespace {

// The defined global and weak symbols of an ELF64 shared object's dynamic symbol table.
std::set<std::string> DefinedDynamicSymbols(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < sizeof(Elf64_Ehdr) || std::memcmp(bytes.data(), ELFMAG, SELFMAG) != 0)
        throw std::runtime_error("not an ELF file: " + path);
    Elf64_Ehdr header;
    std::memcpy(&header, bytes.data(), sizeof header);
    if (header.e_ident[EI_CLASS] != ELFCLASS64)
        throw std::runtime_error("not a 64-bit ELF file");
    auto section = [&](std::size_t index) {
        Elf64_Shdr s;
        std::memcpy(&s, bytes.data() + header.e_shoff + index * header.e_shentsize, sizeof s);
        return s;
    };
    std::set<std::string> names;
    for (std::size_t i = 0; i < header.e_shnum; ++i) {
        const Elf64_Shdr dynsym = section(i);
        if (dynsym.sh_type != SHT_DYNSYM)
            continue;
        const Elf64_Shdr strtab = section(dynsym.sh_link);
        for (std::size_t k = 0; k < dynsym.sh_size / sizeof(Elf64_Sym); ++k) {
            Elf64_Sym symbol;
            std::memcpy(&symbol, bytes.data() + dynsym.sh_offset + k * sizeof(Elf64_Sym), sizeof symbol);
            const unsigned bind = ELF64_ST_BIND(symbol.st_info);
            if (symbol.st_shndx == SHN_UNDEF ||
                (bind != STB_GLOBAL && bind != STB_WEAK && bind != STB_GNU_UNIQUE))
                continue;
            names.insert(std::string(bytes.data() + strtab.sh_offset + symbol.st_name));
        }
    }
    return names;
}

TEST(HostExports, TheModuleExportsExactlyTheFiveEntryPoints) {
    const std::set<std::string> expected = {"GetClassNames", "GetClassObject", "DestroyObject",
                                            "GetAttachType", "SetPlatformCapabilities"};
    EXPECT_EQ(DefinedDynamicSymbols(DefaultModulePath()), expected);
}

TEST(HostExports, NmAgrees) {
    const std::string command = "nm -D --defined-only '" + DefaultModulePath() + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> names;
    char line[4096];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        std::istringstream fields(line);
        std::string address, type, name;
        if (fields >> address >> type >> name)
            names.insert(name);
    }
    const int status = pclose(pipe);
    if (status != 0 && names.empty())
        GTEST_SKIP() << "nm is not installed (binutils)";
    EXPECT_EQ(names, (std::set<std::string>{"GetClassNames", "GetClassObject", "DestroyObject",
                                            "GetAttachType", "SetPlatformCapabilities"}));
}

class HostExportsTest : public HostTest {};

TEST_F(HostExportsTest, ClassNames) {
    EXPECT_EQ(host->GetModule().ClassNames(), "Veltrano");
    // The text belongs to the module and stays put.
    EXPECT_EQ(host->GetModule().RawClassNames(), host->GetModule().RawClassNames());
}

TEST_F(HostExportsTest, AttachTypeAndCapabilities) {
    EXPECT_EQ(host->GetModule().GetAttachType(), napi::eCanAttachAny);
    EXPECT_EQ(static_cast<int>(host->GetModule().GetAttachType()), 3);
    for (auto level : {napi::eAppCapabilities1, napi::eAppCapabilities2, napi::eAppCapabilities3,
                       napi::eAppCapabilitiesInvalid})
        EXPECT_EQ(host->GetModule().SetPlatformCapabilities(level), level);
}

TEST_F(HostExportsTest, GetClassObjectMatchesTheNameExactly) {
    for (const char16_t* name : {u"veltrano", u"VELTRANO", u"Veltrano ", u"", u"Veltrano|"}) {
        auto* sentinel = reinterpret_cast<napi::IComponentBase*>(0x1234);
        napi::IComponentBase* object = sentinel;
        EXPECT_EQ(host->GetModule().GetClassObject(name, &object), 0);
        EXPECT_EQ(object, sentinel) << "nothing stored";
    }
    EXPECT_EQ(host->GetModule().GetClassObject(nullptr, nullptr), 0);
    EXPECT_EQ(host->Create("veltrano"), nullptr);
    napi::IComponentBase* object = nullptr;
    ASSERT_EQ(host->GetModule().GetClassObject(u"Veltrano", &object), 1);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(host->GetModule().DestroyObject(&object), 0);
    EXPECT_NE(object, nullptr) << "the caller's pointer is left as it was";
}

TEST_F(HostExportsTest, DestroyObjectWithNull) {
    EXPECT_EQ(host->GetModule().DestroyObject(nullptr), 0);
    napi::IComponentBase* object = nullptr;
    EXPECT_EQ(host->GetModule().DestroyObject(&object), 0);
}

TEST_F(HostExportsTest, ComponentInitialisedInPlatformOrder) {
    EXPECT_TRUE(component->ExtensionRegistered());
    EXPECT_EQ(component->ExtensionName(), "Veltrano");
    EXPECT_EQ(component->Info(), 2000);
    component->SetLocale("en_US");
    component->SetUserInterfaceLanguageCode("ru");
    EXPECT_EQ(component->Call("ПолучитьРевизиюИнтерфейса").result.integer, 4004);
}

TEST_F(HostExportsTest, SeveralComponentsLiveAtOnce) {
    auto second = host->Create();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->NMethods(), 38);
    second->Call("ВыполнитьДополнительноеДействие", {Value::Text("NoSuchAction")});
    EXPECT_EQ(second->LastError().code, 1001);
    EXPECT_EQ(component->LastError().code, 0) << "each object keeps its own last error";
    second.reset();
    EXPECT_EQ(component->Call("ПолучитьРевизиюИнтерфейса").result.integer, 4004);
}

TEST(HostModule, LoadsAgainAfterUnload) {
    TempDataFolder data;
    for (int round = 0; round < 3; ++round) {
        TestHost host;
        EXPECT_EQ(host.GetModule().ClassNames(), "Veltrano");
        auto component = host.Create();
        ASSERT_NE(component, nullptr);
        EXPECT_EQ(component->NMethods(), 38);
    }
}

TEST(HostModule, MissingModuleIsAClearError) {
    EXPECT_THROW(Module("/nonexistent/libVeltrano.so"), std::runtime_error);
}

} // namespace
} // namespace veltrano::testhost::tests

namespace veltrano::testhost::tests {
namespace {

TEST(HostModule, UnloadsWhenTheLastHostLetsGo) {
    TempDataFolder data;
    {
        TestHost host;
        auto component = host.Create();
        ASSERT_NE(component, nullptr);
        component->Call("ПолучитьОписание", {Value::Empty()});
        void* again = dlopen(DefaultModulePath().c_str(), RTLD_NOW | RTLD_NOLOAD);
        EXPECT_NE(again, nullptr) << "loaded while the host holds it";
        if (again != nullptr)
            dlclose(again);
    }
    void* after = dlopen(DefaultModulePath().c_str(), RTLD_NOW | RTLD_NOLOAD);
    EXPECT_EQ(after, nullptr) << "the module stays in the process after dlclose (a unique symbol or a leaked "
                                 "reference keeps it), so its unload step never runs";
    if (after != nullptr)
        dlclose(after);
}

} // namespace
} // namespace veltrano::testhost::tests
