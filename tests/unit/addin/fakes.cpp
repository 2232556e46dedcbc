#include "fakes.h"

#include "addin/variant.h"

#include <unistd.h>

namespace veltrano::addin::testing {

namespace {

FakeObject& Self(UserObject& object) {
    return static_cast<FakeObject&>(object);
}

template <const char* Name> bool Record(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    Self(self).calls.push_back(Name);
    if (count > 0 && params != nullptr && params[0].vt == napi::VTYPE_EMPTY)
        V8SetUtf8(self.V8MM, &params[0], "out");
    if (result != nullptr)
        V8SetBool(self.V8MM, result, true);
    return true;
}

constexpr char kLeafZ[] = "Leaf.LeafZ";
constexpr char kLeafA[] = "Leaf.LeafA";
constexpr char kMiddleA[] = "Middle.MiddleA";
constexpr char kMiddleShared[] = "Middle.Shared";
constexpr char kRootFirst[] = "Root.RootFirst";
constexpr char kRootShared[] = "Root.Shared";

bool Throwing(UserObject& self, V8Variant*, V8Variant*, long) {
    Self(self).calls.push_back("Leaf.Throw");
    throw std::runtime_error("Ошибка операции");
}

bool ThrowingInt(UserObject& self, V8Variant*, V8Variant*, long) {
    Self(self).calls.push_back("Leaf.ThrowInt");
    throw 42;
}

bool Falsy(UserObject& self, V8Variant* result, V8Variant*, long) {
    Self(self).calls.push_back("Leaf.Falsy");
    if (result != nullptr)
        V8SetInt(self.V8MM, result, 5);
    return false;
}

const FakeObject& Obj(const void* object) {
    return static_cast<const FakeObject&>(*static_cast<const UserObject*>(object));
}
FakeObject& Obj(void* object) {
    return static_cast<FakeObject&>(*static_cast<UserObject*>(object));
}

const ExportMeth kLeafMethods[] = {
    {u"LeafZ", u"ЛистЯ", 3, &Record<kLeafZ>}, {u"LeafA", u"ЛистА", 0, &Record<kLeafA>},
    {u"Throw", u"Сбой", 0, &Throwing},        {u"ThrowInt", u"СбойЧисло", 0, &ThrowingInt},
    {u"Falsy", u"Ложь", 1, &Falsy},
};
const PropertyDecl kLeafProps[] = {
    {"IntProp", "Целое", "Целое число", "7", false, PropKind::Integer,
     [](const void* o) -> PropValue { return Obj(o).intProp; },
     [](void* o, const PropValue& v) { Obj(o).intProp = std::get<std::int64_t>(v); }},
    {"Int64Prop", "", "", "", false, PropKind::Int64,
     [](const void* o) -> PropValue { return Obj(o).int64Prop; },
     [](void* o, const PropValue& v) { Obj(o).int64Prop = std::get<std::int64_t>(v); }},
    {"BoolProp", "Флаг", "Флаг", "False", false, PropKind::Boolean,
     [](const void* o) -> PropValue { return Obj(o).boolProp; },
     [](void* o, const PropValue& v) { Obj(o).boolProp = std::get<bool>(v); }},
};
const AdditionalAction kLeafActions[] = {{"LeafAction", "Действие листа", nullptr}};

const ExportMeth kMiddleMethods[] = {
    {u"MiddleA", u"СерединаА", 2, &Record<kMiddleA>},
    {u"Shared", u"Общий", 1, &Record<kMiddleShared>},
};
const PropertyDecl kMiddleProps[] = {
    {"FloatProp", "Дробное", "", "", false, PropKind::Float,
     [](const void* o) -> PropValue { return Obj(o).floatProp; },
     [](void* o, const PropValue& v) { Obj(o).floatProp = std::get<double>(v); }},
    {"ReadOnlyProp", "ТолькоЧтение", "", "", true, PropKind::Integer,
     [](const void*) -> PropValue { return std::int64_t{99}; }, nullptr},
};

const ExportMeth kRootMethods[] = {
    {u"RootFirst", u"КореньПервый", 0, &Record<kRootFirst>},
    {u"Shared", u"Общий", 1, &Record<kRootShared>},
};
const PropertyDecl kRootProps[] = {
    {"TextProp", "Текст", "", "", false, PropKind::Text,
     [](const void* o) -> PropValue { return Obj(o).textProp; },
     [](void* o, const PropValue& v) { Obj(o).textProp = std::get<std::string>(v); }},
    {"OtherProp", "Другое", "", "", false, PropKind::Other,
     [](const void*) -> PropValue { return std::int64_t{0}; }, [](void*, const PropValue&) {}},
};

const ClassDeclarations kRoot{nullptr, kRootMethods, kRootProps, {}};
const ClassDeclarations kMiddle{&kRoot, kMiddleMethods, kMiddleProps, {}};
const ClassDeclarations kLeaf{&kMiddle, kLeafMethods, kLeafProps, kLeafActions};

} // namespace

const ClassDeclarations& FakeObject::Declarations() const {
    return kLeaf;
}
const ClassDeclarations& LeafDecls() {
    return kLeaf;
}
const ClassDeclarations& MiddleDecls() {
    return kMiddle;
}
const ClassDeclarations& RootDecls() {
    return kRoot;
}

std::unique_ptr<UserObject> MakeFake() {
    return std::make_unique<FakeObject>();
}
std::unique_ptr<UserObject> MakeNothing() {
    return nullptr;
}
std::unique_ptr<UserObject> MakeThrowing() {
    throw std::runtime_error("constructor failed");
}

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vt-addin-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace veltrano::addin::testing
