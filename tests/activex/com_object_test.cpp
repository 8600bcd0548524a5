// The object model on objects of the test's own: QueryInterface over the base list and
// aliases, one reference count and module lock, two-phase creation, and the barrier
// around creation and class factories.
#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <new>
#include <stdexcept>

#include "activex/class_factory.h"
#include "activex/com_object.h"
#include "activex/raii.h"
#include "barrier_log.h"

using activex::ComPtr;

namespace {

int g_live = 0;  // objects of the classes below that exist

struct Counted {
    Counted() { ++g_live; }
    ~Counted() { --g_live; }
};

const GUID kAliasIid = {0x3b8f1a70, 0x5d2e, 0x4c41, {0x9a, 0x11, 0x6e, 0x20, 0x7f, 0x31, 0x02, 0x50}};

// Two interfaces in the list, one alias, and IDispatch only through IFontDisp.
class CSample : public activex::Implements<CSample, IPersist, IFontDisp>, private Counted {
public:
    static constexpr activex::QiAlias kAliases[] = {{&kAliasIid, &IID_IPersist}};

    STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }
};

// Its construction ends in FinalConstruct, which fails or throws as asked.
enum class Stage { Succeed, Fail, ThrowInConstructor, ThrowLogicInConstructor, ThrowInFinalConstruct };

class CStaged : public activex::Implements<CStaged, IPersist>, private Counted {
public:
    explicit CStaged(Stage stage) : m_stage(stage)
    {
        if (stage == Stage::ThrowInConstructor) throw std::bad_alloc();
        if (stage == Stage::ThrowLogicInConstructor) throw std::runtime_error("probe fault");
    }
    HRESULT FinalConstruct()
    {
        if (m_stage == Stage::ThrowInFinalConstruct) throw std::bad_alloc();
        return m_stage == Stage::Fail ? E_ACCESSDENIED : S_OK;
    }
    STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }

private:
    Stage m_stage;
};

void* Query(IUnknown* object, REFIID iid)
{
    void* out = reinterpret_cast<void*>(1);
    if (FAILED(object->QueryInterface(iid, &out))) return out;
    static_cast<IUnknown*>(out)->Release();
    return out;
}

TEST(ComObject, QueryInterfaceAnswersTheBaseListItsAliasesAndIDispatch)
{
    const long locksBefore = activex::ModuleLockCount();
    ComPtr<IPersist> persist;
    ASSERT_EQ(S_OK, activex::CreateObject<CSample>(IID_IPersist, persist.put_void()));
    EXPECT_EQ(1, g_live);
    EXPECT_EQ(locksBefore + 1, activex::ModuleLockCount()) << "one module lock per object";

    void* unknown = Query(persist.get(), IID_IUnknown);
    void* font = Query(persist.get(), IID_IFontDisp);
    ASSERT_NE(nullptr, font);
    EXPECT_EQ(unknown, Query(static_cast<IUnknown*>(font), IID_IUnknown)) << "one identity from every interface";
    EXPECT_EQ(static_cast<void*>(persist.get()), unknown) << "IUnknown is the first interface of the list";
    EXPECT_EQ(static_cast<void*>(persist.get()), Query(persist.get(), kAliasIid)) << "alias";
    EXPECT_EQ(font, Query(persist.get(), IID_IDispatch)) << "the interface derived from IDispatch";
    EXPECT_EQ(nullptr, Query(persist.get(), IID_IOleObject));
    EXPECT_EQ(E_POINTER, persist->QueryInterface(IID_IUnknown, nullptr));

    // One count for all interfaces.
    EXPECT_EQ(2u, static_cast<IUnknown*>(font)->AddRef());
    EXPECT_EQ(1u, persist->Release());
    persist.reset();
    EXPECT_EQ(0, g_live);
    EXPECT_EQ(locksBefore, activex::ModuleLockCount());
}

TEST(ComObject, CreationRunsFinalConstructAndUndoesEveryFailure)
{
    activex_test::BarrierLines log;
    const long locksBefore = activex::ModuleLockCount();
    struct Case {
        Stage stage;
        HRESULT hr;
        const char* logged;  // null: no line
    };
    const Case cases[] = {
        {Stage::Fail, E_ACCESSDENIED, nullptr},
        {Stage::ThrowInConstructor, E_OUTOFMEMORY, "activex::CreateObject: exception caught (std::bad_alloc)"},
        {Stage::ThrowLogicInConstructor, E_UNEXPECTED, "activex::CreateObject: exception caught (probe fault)"},
        {Stage::ThrowInFinalConstruct, E_OUTOFMEMORY, "activex::CreateObject: exception caught (std::bad_alloc)"},
    };
    for (const Case& c : cases) {
        const size_t lines = log.Lines().size();
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(c.hr, activex::CreateObject<CStaged>(IID_IPersist, &out, c.stage));
        EXPECT_EQ(nullptr, out);
        EXPECT_EQ(0, g_live) << "destroyed again";
        EXPECT_EQ(locksBefore, activex::ModuleLockCount());
        ASSERT_EQ(lines + (c.logged ? 1 : 0), log.Lines().size());
        if (c.logged) {
            EXPECT_EQ(0u, log.Lines().back().find(c.logged)) << log.Lines().back();
        }
    }
    void* out = nullptr;
    EXPECT_EQ(E_NOINTERFACE, activex::CreateObject<CStaged>(IID_IOleObject, &out, Stage::Succeed));
    EXPECT_EQ(0, g_live);
    ComPtr<IPersist> made;
    EXPECT_EQ(S_OK, activex::CreateObject<CStaged>(IID_IPersist, made.put_void(), Stage::Succeed));
    EXPECT_EQ(1, g_live);
}

HRESULT CreateSample(REFIID iid, void** out) { return activex::CreateObject<CSample>(iid, out); }
HRESULT CreateThrowing(REFIID, void**) { throw std::length_error("vector"); }

const GUID kSampleClsid = {0x3b8f1a70, 0x5d2e, 0x4c41, {0x9a, 0x11, 0x6e, 0x20, 0x7f, 0x31, 0x02, 0x51}};
const GUID kThrowingClsid = {0x3b8f1a70, 0x5d2e, 0x4c41, {0x9a, 0x11, 0x6e, 0x20, 0x7f, 0x31, 0x02, 0x52}};
const activex::ClassEntry kClasses[] = {
    {&kSampleClsid, &CreateSample},
    {&kThrowingClsid, &CreateThrowing},
};

TEST(ComObject, ClassFactoriesCreateThroughTheTableBehindTheBarrier)
{
    activex_test::BarrierLines log;
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, activex::GetClassObject(kClasses, IID_IOleObject, IID_IClassFactory,
                                                                 factory.put_void()));
    ASSERT_EQ(S_OK, activex::GetClassObject(kClasses, kSampleClsid, IID_IClassFactory, factory.put_void()));
    EXPECT_EQ(S_FALSE, activex::CanUnloadNow()) << "a live factory holds the module";
    ComPtr<IUnknown> object;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(factory.get(), IID_IUnknown, object.put_void()));
    EXPECT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IDispatch, object.put_void()));
    EXPECT_EQ(1, g_live);
    object.reset();

    ASSERT_EQ(S_OK, activex::GetClassObject(kClasses, kThrowingClsid, IID_IClassFactory, factory.put_void()));
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_UNEXPECTED, factory->CreateInstance(nullptr, IID_IUnknown, &out));
    EXPECT_EQ(nullptr, out);
    ASSERT_EQ(1u, log.Lines().size());
    EXPECT_EQ("ClassFactory::CreateInstance: exception caught (vector), returning E_UNEXPECTED.", log.Lines()[0]);
    factory.reset();
    EXPECT_EQ(S_OK, activex::CanUnloadNow());
}

TEST(ExceptionBarrier, WindowAndCallbackBarriersFallBackAndLogOnce)
{
    activex_test::BarrierLines log;
    EXPECT_EQ(S_OK, activex::Barrier("void body", [] {}));
    EXPECT_EQ(42, activex::WindowBarrier(
                      "WndProc", []() -> LRESULT { throw std::bad_alloc(); }, [] { return LRESULT(42); }));
    EXPECT_FALSE(activex::CallbackBarrier("Timer", [] { throw 7; }));
    EXPECT_TRUE(activex::CallbackBarrier("Timer", [] {}));
    ASSERT_EQ(2u, log.Lines().size());
    EXPECT_EQ("WndProc: exception caught (std::bad_alloc), default handling.", log.Lines()[0]);
    EXPECT_EQ("Timer: exception caught (not a std::exception), callback ended.", log.Lines()[1]);
}

} // namespace
