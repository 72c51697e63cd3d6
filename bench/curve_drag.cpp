// Curve drag benchmark: 200 mouse moves over the graph, each followed at once by the paint it
// asks for (the graph repaints the stretch of curve that moved), as a drag feels to the user.
// Reports the median and 99th percentile time per frame at device pixel ratio 1 and 2, with Smooth
// When Dragging off and on, and how often the background layer was rendered during the drags (it
// should be never). "stretch" frames paint what the graph marked dirty (the real path); "whole"
// frames repaint the whole widget, a worst case. Every third point is selected, so selected
// markers are drawn too.
//
// Usage: bench_curve_drag [--drags N]
// Each pixel ratio runs in a child process of its own (QT_SCALE_FACTOR must be set before the
// application starts); the parent prints one line per case.
#include <QApplication>
#include <QMouseEvent>
#include <QProcess>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "config/app_settings.h"
#include "editor/curve_graph_model.h"
#include "ui/qt/curve_graph.h"

namespace {

constexpr int kMovesPerDrag = 200;

struct Result {
    double medianMs;
    double p99Ms;
    int frames;
    int backgroundRenders;
    int paints;
};

void SendMouse(QWidget& w, QEvent::Type type, QPointF pos, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, w.mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

Result RunDrags(zentrik::CCurveGraph& graph, int drags, bool full) {
    using Clock = std::chrono::steady_clock;
    std::vector<double> frames;
    frames.reserve(static_cast<std::size_t>(drags * kMovesPerDrag));
    const int rendersBefore = graph.BackgroundRenderCount();
    const int paintsBefore = graph.PaintCount();
    const zentrik::PlotRect& model = graph.Model().Plot();
    const QRectF plot(model.left, model.top, model.width, model.height);
    for (int d = 0; d < drags; ++d) {
        const int index = 3 + (d * 7) % 14;
        const QPointF start = graph.PointPosition(index);
        SendMouse(graph, QEvent::MouseButtonPress, start, Qt::LeftButton);
        for (int m = 0; m < kMovesPerDrag; ++m) {
            // Up and down over the whole plot height, a little beyond it at both ends.
            const double phase = static_cast<double>(m) / kMovesPerDrag * 2 * M_PI * 2;
            const double y = plot.center().y() + (plot.height() / 2 + 6) * std::sin(phase);
            const auto t0 = Clock::now();
            SendMouse(graph, QEvent::MouseMove, QPointF(start.x(), y), Qt::LeftButton);
            if (full) {
                graph.repaint();  // the whole widget, as a worst case
            } else {
                // Paint what the move marked dirty, now, as the next frame would.
                QCoreApplication::sendPostedEvents(&graph, QEvent::UpdateRequest);
            }
            const auto t1 = Clock::now();
            frames.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        }
        SendMouse(graph, QEvent::MouseButtonRelease, start, Qt::NoButton);
    }
    const int renders = graph.BackgroundRenderCount() - rendersBefore;
    const int painted = graph.PaintCount() - paintsBefore;
    std::sort(frames.begin(), frames.end());
    const auto at = [&frames](double q) {
        const auto i = static_cast<std::size_t>(std::ceil(q * frames.size())) - 1;
        return frames[std::min(i, frames.size() - 1)];
    };
    return {at(0.5), at(0.99), static_cast<int>(frames.size()), renders, painted};
}

int Child(int argc, char** argv, int drags) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    // The offscreen platform cannot raise the tooltip window; the tip still follows the drag.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (!text.contains(QLatin1String("does not support raise()"))) {
            std::fprintf(stderr, "%d: %s\n", static_cast<int>(type), qPrintable(text));
        }
    });
    zentrik::AppSettings settings;
    zentrik::CurveGraphModel model(settings);
    zentrik::CCurveGraph graph(model);
    graph.resize(graph.sizeHint());
    zentrik::Curve curve;
    for (int i = 0; i < zentrik::kPercentPoints; ++i) {
        curve[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 5);
    }
    model.SetRange(0, 8.5);
    model.SetCurve(0, 8.5, curve);
    // Some points selected, as the curve commands leave them: their markers are drawn apart.
    zentrik::PointSet selection;
    for (std::size_t i = 0; i < selection.size(); i += 3) {
        selection.set(i);
    }
    model.SetSelection(selection);
    model.CreateTip();
    model.SetAxisMode(1);
    graph.show();
    // Painting needs an exposed window; the platform exposes it from the event loop.
    for (int i = 0; i < 1000 && !(graph.windowHandle() && graph.windowHandle()->isExposed()); ++i) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    graph.repaint();  // the first frame renders the background
    if (graph.BackgroundRenderCount() != 1) {
        std::fprintf(stderr, "the graph was not painted\n");
        return 1;
    }
    for (bool full : {false, true}) {
        for (bool smooth : {false, true}) {
            settings.Smooth = smooth;
            model.SetCurve(0, 8.5, curve);
            graph.Sync();
            graph.repaint();
            const Result r = RunDrags(graph, drags, full);
            std::printf(
                "dpr %.0f  smooth %-3s  %-7s  %dx%d px  frames %d  median %.3f ms  p99 %.3f ms  "
                "paints %d  background renders during drags %d\n",
                graph.devicePixelRatioF(), smooth ? "on" : "off", full ? "whole" : "stretch",
                static_cast<int>(graph.width() * graph.devicePixelRatioF()),
                static_cast<int>(graph.height() * graph.devicePixelRatioF()), r.frames, r.medianMs,
                r.p99Ms, r.paints, r.backgroundRenders);
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int drags = 5;
    bool child = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--drags") == 0 && i + 1 < argc) {
            drags = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--child") == 0) {
            child = true;
        }
    }
    if (child) {
        return Child(argc, argv, drags);
    }
    std::printf("curve drag: %d drags of %d moves, each move painted at once\n", drags,
                kMovesPerDrag);
    std::fflush(stdout);
    for (const char* scale : {"1", "2"}) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(scale));
        if (!env.contains(QStringLiteral("QT_QPA_PLATFORM"))) {
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        }
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(
            QString::fromLocal8Bit(argv[0]),
            {QStringLiteral("--child"), QStringLiteral("--drags"), QString::number(drags)});
        if (!process.waitForFinished(-1) || process.exitCode() != 0) {
            std::fprintf(stderr, "the run at scale %s failed\n", scale);
            return 1;
        }
    }
    return 0;
}
