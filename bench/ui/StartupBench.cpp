// Start-up of the desktop program to its first painted main window, splash
// off: settings, language, formats file, menu, form, papers and skin.
//   QT_QPA_PLATFORM=offscreen build-bench/bin/StartupBench
//   xvfb-run -a build-bench/bin/StartupBench        (a real X server)
#include "app/ui/KorvaneApp.h"
#include "app/ui/TheView.h"
#include "app/ui/MainFrame.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

namespace {

// Notes the view's first paint.
class PaintWatch : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

void BM_StartupToFirstPaint(benchmark::State& state)
{
    QTemporaryDir home;
    QFile::copy(QStringLiteral(KORVANE_BIN_DIR "/Korvane.dat"), home.filePath(QStringLiteral("Korvane.dat")));
    qputenv("KORVANE_HOME", home.path().toUtf8());
    for (auto _ : state) {
        state.PauseTiming();
        QFile cfg(home.filePath(QStringLiteral("Korvane.cfg")));
        cfg.open(QIODevice::WriteOnly | QIODevice::Truncate);
        cfg.write("[Options]\r\nShowSplash = 0\r\nReloadOnStartup = 0\r\n");
        cfg.close();
        CKorvaneApp app;
        PaintWatch watch;
        state.ResumeTiming();

        QElapsedTimer clock;
        clock.start();
        app.InitInstance();
        app.View()->installEventFilter(&watch);
        while (!watch.painted && clock.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        benchmark::DoNotOptimize(watch.painted);

        state.PauseTiming();
        app.View()->removeEventFilter(&watch);
        app.ExitInstance();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
// The first start of the process pays for the font database and the
// platform's first window; the later ones show the program's own share.
BENCHMARK(BM_StartupToFirstPaint)->Name("FirstStartInProcess")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_StartupToFirstPaint)->Name("LaterStarts")->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
