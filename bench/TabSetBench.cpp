// Every repaint of an editor tab set asks for each tab's image and overlay:
// measured for a tab set of 30 tabs, 3 of them package documents, with 5
// documents across 3 editor windows, through the library's handlers against
// the same repaint through the IDE's own handlers alone.
#include "bench/BenchSupport.h"

#include "host/vcl/TypInfo.h"
#include "host/win32/Win32.h"
#include "interop/Bstr.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"
#include "services/TalvixBdsServices.h"
#include "sim/SimulatedIde.h"
#include "sim/editors/IdeEditorWindows.h"
#include "windows/BdsWindowsService.h"

#include <array>
#include <string>
#include <vector>

namespace tvx::bench {

namespace {

// A package that gives each document one tab image.
class ImageSink final : public tvx::Implements<ImageSink, IBdsWindowEvents> {
public:
    HRESULT STDMETHODCALLTYPE OnWindowClose() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnWindowActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnGetIconHandle(LONG* Handle) override
    {
        *Handle = LONG(reinterpret_cast<LONG_PTR>(CreateBitmap(16, 16, 1, 32, nullptr)));
        return S_OK;
    }
};

constexpr std::array<std::u16string_view, 4> kEvents = {u"OnChange", u"OnGetImageIndex", u"OnGetOverlayImageIndex",
                                                        u"OnMouseDown"};

struct TabSetEnvironment {
    sim::SimulatedIde& ide = BenchIde();
    sim::IdeEditorWindows& editors = *ide.Find<sim::IdeEditorWindows>();
    sim::TIDEGradientTabSet* tabSet = nullptr;
    std::vector<tvx::IntfPtr<IBdsDocumentWindow>> documents;
    std::array<TMethod, 4> ide_{}, library_{};

    TabSetEnvironment()
    {
        auto* root = talvix::TBdsServices::Create();
        tvx::IntfPtr<IBdsWindowsService> service;
        root->Get_BdsWindowsService(service.put());
        auto sink = tvx::IntfPtr<IBdsWindowEvents>::Attach(tvx::NewInterface<ImageSink, IBdsWindowEvents>());
        // Window 1: 27 source files and 3 documents; windows 2 and 3: one document each.
        std::string first = "1";
        for (int i = 0; i < 27; ++i)
            editors.OpenModule("Unit" + std::to_string(i + 2) + ".pas", &first);
        tabSet = editors.Windows().front()->TabSet();
        for (int i = 0; i < 3; ++i)
            editors.OpenModule("Doc" + std::to_string(i) + ".tvx", &first);
        ide_ = Handlers();
        for (int window = 0; window < 3; ++window) {
            if (window > 0) {
                editors.NewEditorWindow();
                editors.OpenModule("Doc" + std::to_string(window + 2) + ".tvx", nullptr);
            }
            LONG editor = -1;
            service->DocumentFrameOnTop(&editor);
            for (int d = window == 0 ? 0 : window + 2; d < (window == 0 ? 3 : window + 3); ++d) {
                tvx::IntfPtr<IBdsDocumentWindow> document;
                const std::u16string file =
                    u"C:\\Projects\\Demo\\Doc" + std::u16string(1, char16_t(u'0' + d)) + u".tvx";
                service->CreateDocumentWindow(tvx::Bstr(file).get(), 0, editor, document.put());
                document->RegisterEvents(sink.get());
                documents.push_back(document);
            }
        }
        library_ = Handlers();
        tabSet->Paint();
    }

    std::array<TMethod, 4> Handlers()
    {
        std::array<TMethod, 4> handlers;
        for (std::size_t i = 0; i < kEvents.size(); ++i)
            handlers[i] = GetMethodProp(tabSet, kEvents[i]);
        return handlers;
    }
    void Install(const std::array<TMethod, 4>& handlers)
    {
        for (std::size_t i = 0; i < kEvents.size(); ++i)
            SetMethodProp(tabSet, kEvents[i], handlers[i]);
    }
};

TabSetEnvironment& Environment()
{
    static TabSetEnvironment* environment = new TabSetEnvironment();
    return *environment;
}

void Repaint(benchmark::State& state, bool throughLibrary)
{
    TabSetEnvironment& env = Environment();
    env.Install(throughLibrary ? env.library_ : env.ide_);
    for (auto _ : state) {
        env.tabSet->Paint();
        benchmark::DoNotOptimize(env.tabSet->Painted().data());
    }
    env.Install(env.library_);
}

} // namespace

void RegisterTabSetBenchmarks()
{
    RegisterPair(
        "TabSet/repaint:30tabs", 1.5, [](benchmark::State& state) { Repaint(state, true); },
        [](benchmark::State& state) { Repaint(state, false); });
}

} // namespace tvx::bench
