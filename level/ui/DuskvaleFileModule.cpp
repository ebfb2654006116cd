#include "level/ui/DuskvaleFileModule.h"

#include "imaging/ui/Gauges.h"
#include "imaging/ui/ReasonText.h"
#include "level/LevelExtraction.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QThread>
#include <QWindow>
#include <algorithm>
#include <exception>
#include <filesystem>

namespace parvane::level {

const std::array<LevelFilterRow, 10> TDVL::kFilterRows{{
    {QT_TRANSLATE_NOOP("parvane::level::TDVL", "Duskvale Files"), "*.PHD;*.DVX;*.DV2;*.DV4;*.DVC"},
    {"DV1 (1996) - Duskvale (*.phd)", "*.PHD"},
    {"DV1 (1999) - Duskvale: Hollow Crown (*.dvx)", "*.DVX"},
    {"DV2 (1997) - Duskvale II (*.dv2)", "*.DV2"},
    {"DV2 (1997) - Duskvale II: Lantern Isles (*.dv2)", "*.DV2"},
    {"DV3 (1998) - Duskvale III (*.dv2)", "*.DV2"},
    {"DV3 (2000) - Duskvale III: Ashen Gate (*.dv2)", "*.DV2"},
    {"DV4 (1999) - Duskvale IV (*.dv4)", "*.DV4"},
    {"DV5 (2000) - Duskvale V (*.dvc)", "*.DVC"},
    {QT_TRANSLATE_NOOP("parvane::level::TDVL", "All Files (*.*)"), "*.*"},
}};

namespace {

std::filesystem::path toPath(const QString& fileName) {
    return std::filesystem::path(fileName.toStdString());
}

// Hides the window and lets pending window messages run (so the main window repaints) on
// every way out of a file routine, including an unexpected exception.
class HideOnExit {
public:
    explicit HideOnExit(TDVL& window) : window_(window) {}
    ~HideOnExit() {
        window_.hide();
        window_.Gauge()->setProgress(0);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    HideOnExit(const HideOnExit&) = delete;
    HideOnExit& operator=(const HideOnExit&) = delete;

private:
    TDVL& window_;
};

// The message of a level that could not be read, naming the file, and the reason beneath it;
// an empty message where the warning sound alone tells the failure.
struct FailureText {
    QString message;
    QString reason;
};

FailureText failureText(const QString& fileName, const Extraction& extraction) {
    QString message;
    switch (extraction.status) {
    case ExtractionStatus::Damaged:
        message = TDVL::tr("The level file is damaged and could not be read.");
        break;
    case ExtractionStatus::Unreadable:
        message = TDVL::tr("The level file could not be read.");
        break;
    default:
        // Anything else the reader tells is shown as it words it, or not at all.
        message = QString::fromStdString(failureMessage(extraction));
        if (message.isEmpty())
            return {};
        break;
    }
    return {message + QStringLiteral("\n\n") + QDir::toNativeSeparators(fileName),
            imaging::reasonText(failureReason(extraction))};
}

// What the screen says of a failure that the warning sound alone would tell; empty for the
// failures that have a message of their own.
QString refusalText(const QString& fileName, ExtractionStatus status) {
    const QString name = QFileInfo(fileName).fileName();
    switch (status) {
    case ExtractionStatus::RefusedExtension:
        return TDVL::tr("%1 is not a Duskvale level file (.PHD, .DVX, .DV2, .DV4 or .DVC).")
            .arg(name);
    case ExtractionStatus::Missing:
        return TDVL::tr("%1 does not exist.").arg(name);
    case ExtractionStatus::NotALevel:
        return TDVL::tr("%1 is not a Duskvale level.").arg(name);
    case ExtractionStatus::NoAnimatedTextures:
        return TDVL::tr("%1 has no animated textures.").arg(name);
    default:
        return {};
    }
}

// How long the progress window waits for the display to show it before the load begins.
constexpr int kExposeWaitMs = 1000;

bool isExposed(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle && handle->isExposed();
}

// Sends what was drawn to the display now.
void flushToScreen() {
    QGuiApplication::sync();
}

} // namespace

TDVL::TDVL(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowStaysOnTopHint),
      mainWindow_(mainWindow), gauge_(new imaging::TGauge(this)) {
    setWindowTitle(tr(kCaption));
    setFixedSize(kWidth, kHeight);
    gauge_->setGeometry(8, 8, 177, 20);
    gauge_->setProgress(0);
    warningSound_ = [this] { player_.playWarningSound(); };
    message_ = [this](const QString& text, const QString& reason) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Parvane"), text, QMessageBox::Ok,
                        mainWindow_);
        box.setInformativeText(reason);
        box.exec();
    };
    FormOnCreate();
}

TDVL::~TDVL() {
    // The dialog may belong to the main window; it goes with this window.
    delete openDialog_.data();
}

void TDVL::FormOnCreate() {
    SetupOpenDialog();
}

void TDVL::SetupOpenDialog() {
    if (!openDialog_) {
        openDialog_ = new QFileDialog(mainWindow_ ? mainWindow_ : this);
        openDialog_->setOption(QFileDialog::DontUseNativeDialog);
        openDialog_->setAcceptMode(QFileDialog::AcceptOpen);
        openDialog_->setFileMode(QFileDialog::ExistingFile);
        // No places bar beside the file list.
        openDialog_->setSidebarUrls({});
        if (auto* sidebar = openDialog_->findChild<QWidget*>(QStringLiteral("sidebar")))
            sidebar->hide();
    }
    openDialog_->setWindowTitle(tr(kOpenDialogTitle));
    const QString chosen = openDialog_->selectedNameFilter();
    const int row = std::max(0, static_cast<int>(openDialog_->nameFilters().indexOf(chosen)));
    openDialog_->setNameFilters(levelNameFilters());
    setOpenDialogFilterIndex(row + 1);
    openDialog_->setDefaultSuffix(QString());
}

QStringList TDVL::levelNameFilters() {
    QStringList filters;
    for (const LevelFilterRow& row : kFilterRows) {
        const QString description = tr(row.description);
        QString patterns = QString::fromLatin1(row.pattern);
        patterns.replace(u';', u' ');
        // Rows that already name their pattern in brackets are shown as they stand; the file
        // list matches patterns without regard to case, as level files come in both.
        if (description.endsWith(QLatin1Char(')')) &&
            description.endsWith(QStringLiteral("(%1)").arg(patterns), Qt::CaseInsensitive))
            filters << description;
        else
            filters << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return filters;
}

void TDVL::changeEvent(QEvent* event) {
    // The interface changed language: the caption, the dialog's title and its filter rows.
    if (event->type() == QEvent::LanguageChange) {
        setWindowTitle(tr(kCaption));
        SetupOpenDialog();
    }
    QWidget::changeEvent(event);
}

void TDVL::setOpenDialogFilterIndex(int index) {
    const QStringList filters = openDialog_->nameFilters();
    if (index >= 1 && index <= filters.size())
        openDialog_->selectNameFilter(filters.at(index - 1));
}

QString TDVL::openDialogFileName() const {
    const QStringList files = openDialog_->selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

void TDVL::setOpenDialogFileName(const QString& fileName) {
    // The remembered path may also be a caption such as "   --- no TEXTURES extracted ---":
    // only a real folder moves the dialog, the rest goes to the name field as it stands.
    const QFileInfo info(fileName);
    if (info.isAbsolute() && info.dir().exists()) {
        openDialog_->setDirectory(info.dir());
        openDialog_->selectFile(info.fileName());
    } else {
        openDialog_->selectFile(fileName);
    }
}

void TDVL::setWarningSoundHandler(std::function<void()> handler) {
    warningSound_ = std::move(handler);
}

void TDVL::setMessageHandler(std::function<void(const QString&, const QString&)> handler) {
    message_ = std::move(handler);
}

void TDVL::WarningSound() {
    if (warningSound_)
        warningSound_();
}

void TDVL::showMessage(const QString& text, const QString& reason) {
    if (message_)
        message_(text, reason);
}

bool TDVL::LoadLevelAs32BitsDialog(imaging::Bitmap& image, std::uint8_t& pixelFormat,
                                   bool convert) {
    return runDialog(image, pixelFormat, convert, Extract::AllTextures);
}

bool TDVL::LoadLevelAs32BitsFile(imaging::Bitmap& image, const QString& fileName, bool convert,
                                 std::uint8_t& pixelFormat) {
    return loadFile(image, fileName, convert, pixelFormat, Extract::AllTextures);
}

bool TDVL::LoadAnimAs32BitsDialog(imaging::Bitmap& image, std::uint8_t& pixelFormat, bool convert) {
    return runDialog(image, pixelFormat, convert, Extract::AnimatedTextures);
}

bool TDVL::LoadAnimAs32BitsFile(imaging::Bitmap& image, const QString& fileName, bool convert,
                                std::uint8_t& pixelFormat) {
    return loadFile(image, fileName, convert, pixelFormat, Extract::AnimatedTextures);
}

bool TDVL::runDialog(imaging::Bitmap& image, std::uint8_t& pixelFormat, bool convert,
                     Extract what) {
    const bool chosen = openDialog_->exec() == QDialog::Accepted;
    const QString fileName = chosen ? openDialogFileName() : QString();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (fileName.isEmpty())
        return false;
    return loadFile(image, fileName, convert, pixelFormat, what);
}

void TDVL::showCentred() {
    const QRect around = mainWindow_ ? mainWindow_->frameGeometry()
                         : screen()  ? screen()->availableGeometry()
                                     : QRect();
    if (around.isValid())
        move(around.center() - QPoint(kWidth / 2, kHeight / 2));
    show();
    raise();
    // The load runs on this thread without yielding: the window must be on the screen before
    // it starts, or the gauge's repaints reach nothing. A real display maps a window a
    // moment after it is shown, and says so; the main window's own paints run meanwhile.
    QElapsedTimer waited;
    waited.start();
    while (!isExposed(*this) && waited.elapsed() < kExposeWaitMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(2);
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
    flushToScreen();
}

Extraction TDVL::extract(const QString& fileName, bool convert, Extract what) {
    const ProgressFn progress = [this](int value) {
        // The gauge repaints at once when its shown percentage changes; the drawing is then
        // sent to the display, which would otherwise get it only after the load.
        const int before = gauge_->DisplayedPercent();
        gauge_->setProgress(value);
        if (gauge_->DisplayedPercent() != before)
            flushToScreen();
    };
    try {
        return what == Extract::AllTextures
                   ? extractLevelTextures(toPath(fileName), convert, progress)
                   : extractAnimatedTextures(toPath(fileName), convert, progress);
    } catch (const std::exception& e) {
        // Running out of memory for a huge level, for instance: the file could not be read.
        return Extraction(ExtractionStatus::Unreadable,
                          imaging::Failure{imaging::FailureKind::NoMemory, e.what()});
    }
}

bool TDVL::loadFile(imaging::Bitmap& image, const QString& fileName, bool convert,
                    std::uint8_t& pixelFormat, Extract what) {
    if (!isAcceptedLevelExtension(toPath(fileName))) {
        WarningSound();
        emit refused(refusalText(fileName, ExtractionStatus::RefusedExtension));
        return false;
    }

    Extraction extraction;
    {
        gauge_->setProgress(0);
        showCentred();
        const HideOnExit hide(*this);
        extraction = extract(fileName, convert, what);
    }

    if (!extraction.ok()) {
        WarningSound();
        // A missing file, a file that is no level and a level without animations are told
        // by the sound alone; a level that cannot be read also says why.
        const FailureText text = failureText(fileName, extraction);
        if (!text.message.isEmpty())
            showMessage(text.message, text.reason);
        else if (const QString refusal = refusalText(fileName, extraction.status);
                 !refusal.isEmpty())
            emit refused(refusal);
        return false;
    }
    image = std::move(extraction.bitmap);
    pixelFormat = extraction.sourcePixelFormat;
    return true;
}

} // namespace parvane::level
