// The main loop's per-message work in the shell: applying a window message to the
// input state, building the event and dispatching it through a view manager with a few
// views, with a view switch every so often.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "platform/platform.h"
#include "shell/input_event.h"
#include "shell/view.h"
#include "shell/view_manager.h"

namespace {

class CountingView : public View {
  public:
    CountingView() : View(nullptr) {}
    void OnEnter() override { ++enters; }
    void OnLeave() override {}
    int HandleEvent(InputEvent& event) override {
        sum += event.type + event.x + event.keyCount;
        return 0;
    }
    long sum = 0;
    long enters = 0;
};

void BM_DispatchMessages(benchmark::State& state) {
    std::vector<std::unique_ptr<CountingView>> views;
    ViewManager vm;
    for (int id = 0; id < 6; ++id) {
        views.push_back(std::make_unique<CountingView>());
        vm.AddView(views.back().get(), id);
    }
    vm.StartWith(0);
    const platform::Message script[] = {
        {platform::MSG_TIMER, 15000, 0},
        {platform::MSG_LBUTTONDOWN, 0, platform::packPoint(120, 160)},
        {platform::MSG_MOUSEMOVE, 0, platform::packPoint(121, 161)},
        {platform::MSG_TIMER, 15000, 0},
        {platform::MSG_LBUTTONUP, 0, platform::packPoint(122, 162)},
        {platform::MSG_KEYDOWN, platform::VK_LEFT, 0},
        {platform::MSG_HOTKEY, 195, 0},
        {platform::MSG_TIMER, 15000, 0},
        {platform::MSG_KEYUP, platform::VK_LEFT, 0},
        {platform::MSG_KEYUP, 195, 0},
    };
    InputState input;
    InputEvent event;
    long frames = 0;
    for (auto _ : state) {
        for (const platform::Message& m : script) {
            applyMessage(input, m);
            buildEvent(input, event);
            benchmark::DoNotOptimize(vm.Dispatch(event));
            // A view switch every 64 frames, remembered, and back again.
            if ((++frames & 63) == 0) {
                if (vm.historyDepth > 0)
                    vm.GoBack();
                else
                    vm.GoTo(static_cast<uint8_t>(1 + frames / 64 % 5), 1);
            }
        }
    }
    long total = 0;
    for (const auto& v : views) total += v->sum;
    benchmark::DoNotOptimize(total);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(std::size(script)));
}
BENCHMARK(BM_DispatchMessages);

}  // namespace

BENCHMARK_MAIN();
