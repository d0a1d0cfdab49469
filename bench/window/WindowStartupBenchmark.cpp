// Time from creating a window to its first paint, and the process's peak resident memory, for
// Relicwright's main window and for a bare QDialog holding the same widgets. Every measurement runs
// in a fresh process of this program, so that memory peaks do not mix and no cache carries over;
// the kinds take turns, and medians are compared.
//
//   window_startup_benchmark [--rounds N] [--markdown]
//   window_startup_benchmark --child window|bare      (one measurement; used by the above)

#include "ItemCatalogue.h"
#include "ConverterApp.h"
#include "DesktopHelpViewer.h"
#include "MainWindow.h"
#include "QtFileDialogs.h"
#include "QtMessagePresenter.h"
#include "ResourceImages.h"

#include "FileSteps.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Sample {
    double paintMs = 0;
    long peakKb = 0;
};

// Notices the first paint of the window it watches.
class FirstPaint final : public QObject {
public:
    bool seen = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            seen = true;
        }
        return QObject::eventFilter(watched, event);
    }
};

// The yardstick: the same widgets in a plain dialog, with no workflow behind them.
std::unique_ptr<QDialog> bareDialog() {
    auto dialog = std::make_unique<QDialog>();
    dialog->setWindowTitle(QStringLiteral("Bare dialog"));
    auto* load = new QPushButton(QStringLiteral("Load"), dialog.get());
    load->setGeometry(9, 80, 88, 23);
    auto* save = new QPushButton(QStringLiteral("Save"), dialog.get());
    save->setGeometry(9, 113, 88, 23);
    auto* picture = new QLabel(dialog.get());
    picture->setPixmap(relicwright::ResourceImages::banner());
    picture->setGeometry(9, 9, 523, 49);
    auto* item = new QLineEdit(dialog.get());
    item->setReadOnly(true);
    item->setGeometry(105, 80, 324, 23);
    auto* items = new QComboBox(dialog.get());
    items->setEditable(true);
    for (const auto entry : relicwright::itemChoiceEntries()) {
        items->addItem(QString::fromLatin1(entry.data(), static_cast<qsizetype>(entry.size())));
    }
    items->setGeometry(105, 113, 324, 23);
    auto* game = new QLineEdit(dialog.get());
    game->setReadOnly(true);
    game->setGeometry(437, 80, 96, 23);
    auto* targets = new QComboBox(dialog.get());
    targets->setEditable(true);
    targets->addItem(QStringLiteral("Hellfire"));
    targets->addItem(QStringLiteral("Diablo"));
    targets->setGeometry(437, 113, 96, 23);
    dialog->setFixedSize(545, 142);
    return dialog;
}

int runChild(const std::string& kind, const char* programPath) {
    int argc = 1;
    std::string name = programPath;
    char* argv[] = {name.data(), nullptr};
    QApplication application(argc, argv);

    relicwright::QtFileDialogs dialogs;
    relicwright::QtMessagePresenter messages;
    relicwright::DesktopHelpViewer help(programPath);
    const relicwright::ConverterApp app(programPath);
    FirstPaint paint;

    const auto start = Clock::now();
    std::unique_ptr<QDialog> window;
    if (kind == "window") {
        window = std::make_unique<relicwright::MainWindow>(
            app.applicationName(), relicwright::MainWindow::Services{dialogs, messages, help, relicwright::platformFileSteps()});
    } else {
        window = bareDialog();
    }
    window->installEventFilter(&paint);
    window->show();
    while (!paint.seen) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    // The children paint in the same pass as the window; processEvents has returned after it.
    const auto end = Clock::now();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%.6f %ld\n", std::chrono::duration<double, std::milli>(end - start).count(),
                usage.ru_maxrss);
    return 0;
}

bool runOnce(const std::string& kind, Sample& sample) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return false;
    }
    const pid_t pid = fork();
    if (pid < 0) {
        return false;
    }
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        execl("/proc/self/exe", "window_startup_benchmark", "--child", kind.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    std::string output;
    char buffer[256];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) {
        output.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return false;
    }
    return std::sscanf(output.c_str(), "%lf %ld", &sample.paintMs, &sample.peakKb) == 2;
}

template <class T> T median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

const char* met(double ratio) {
    return ratio <= 1.2 ? "yes" : "no";
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc == 3 && std::strcmp(argv[1], "--child") == 0) {
        return runChild(argv[2], argv[0]);
    }
    int rounds = 11;
    bool markdown = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
            rounds = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--markdown") == 0) {
            markdown = true;
        } else {
            std::fprintf(stderr, "usage: %s [--rounds N] [--markdown]\n", argv[0]);
            return 2;
        }
    }

    const std::vector<std::string> kinds = {"window", "bare"};
    std::vector<double> paint[2];
    std::vector<long> peak[2];
    // Round 0 warms the disk cache and is not counted; the order turns every round.
    for (int round = 0; round <= rounds; ++round) {
        for (std::size_t k = 0; k < kinds.size(); ++k) {
            const std::size_t which = (k + static_cast<std::size_t>(round)) % kinds.size();
            Sample sample;
            if (!runOnce(kinds[which], sample)) {
                std::fprintf(stderr, "measuring the %s failed\n", kinds[which].c_str());
                return 1;
            }
            if (round > 0) {
                paint[which].push_back(sample.paintMs);
                peak[which].push_back(sample.peakKb);
            }
        }
    }

    const double paintOurs = median(paint[0]);
    const double paintBare = median(paint[1]);
    const double peakOurs = static_cast<double>(median(peak[0])) / 1024.0;
    const double peakBare = static_cast<double>(median(peak[1])) / 1024.0;
    const double paintRatio = paintOurs / paintBare;
    const double peakRatio = peakOurs / peakBare;
    const auto [paintMin, paintMax] = std::minmax_element(paint[0].begin(), paint[0].end());
    const auto [bareMin, bareMax] = std::minmax_element(paint[1].begin(), paint[1].end());

    if (markdown) {
        std::printf("| 3. window, offscreen, %d runs each: creation to first paint, median (range) | %.1f ms "
                    "(%.1f–%.1f) | %.1f ms (%.1f–%.1f), bare QDialog | %.2f | ≤ 1.20 | %s |\n",
                    rounds, paintOurs, *paintMin, *paintMax, paintBare, *bareMin, *bareMax, paintRatio,
                    met(paintRatio));
        std::printf(
            "| 3a. window, offscreen: peak resident memory of the process, median | %.1f MiB | %.1f MiB, "
            "bare QDialog | %.2f | ≤ 1.20 | %s |\n",
            peakOurs, peakBare, peakRatio, met(peakRatio));
    } else {
        std::printf("rounds: %d per kind, each in its own process (offscreen)\n", rounds);
        std::printf("creation to first paint: window %.2f ms (%.2f-%.2f), bare %.2f ms (%.2f-%.2f), ratio "
                    "%.2f (%s)\n",
                    paintOurs, *paintMin, *paintMax, paintBare, *bareMin, *bareMax, paintRatio,
                    paintRatio <= 1.2 ? "within 1.2" : "above 1.2");
        std::printf("peak resident memory:    window %.1f MiB, bare %.1f MiB, ratio %.2f (%s)\n", peakOurs,
                    peakBare, peakRatio, peakRatio <= 1.2 ? "within 1.2" : "above 1.2");
    }
    return 0;
}
