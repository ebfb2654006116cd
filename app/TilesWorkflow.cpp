// The TILES tab under the Target: the tile budget readout with its menu of groups, the
// tolerance and turned copies, Show copies (outlines drawn over the Target canvas, never into
// its picture), Compact as one step of the history, the index map, and the wrap preview.
#include "app/Languages.h"
#include "app/MainForm.h"
#include "app/Shortcuts.h"
#include "app/StatusNotice.h"
#include "app/TargetTiles.h"
#include "app/WrapPreview.h"
#include "canvas/ImageStack.h"
#include "document/TextureSet.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QSaveFile>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolButton>
#include <algorithm>
#include <cstring>

namespace parvane::app {

namespace {

using document::TileReport;

constexpr int kEditorTiles = document::kTileBudget;
// Copies listed after their kept tile in one line of the readout's menu.
constexpr int kListedCopies = 8;

const QColor kCopyOutline(255, 140, 0);
const QColor kKeptOutline(0, 220, 90);
const QColor kHighlight(255, 255, 0);
const QColor kBudgetRed(255, 0, 0);

using document::CellClass;

// The index map's file next to a saved set: its name with the extension of a CSV file.
QString offeredMapName(const std::optional<std::filesystem::path>& saved,
                       const std::optional<std::filesystem::path>& reloaded) {
    const std::optional<std::filesystem::path>& set = saved ? saved : reloaded;
    if (!set)
        return QStringLiteral("index-map.csv");
    std::filesystem::path map = *set;
    map.replace_extension(".csv");
    return QString::fromStdString(map.string());
}

// True when both pictures hold the same pixels over the same size.
bool samePixels(const imaging::Bitmap& a, const imaging::Bitmap& b) {
    if (a.width() != b.width() || a.height() != b.height() || a.format() != b.format())
        return false;
    const std::size_t rowBytes =
        static_cast<std::size_t>(a.width()) * static_cast<std::size_t>(a.bitsPerPixel() / 8);
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.row(y), b.row(y), rowBytes) != 0)
            return false;
    return true;
}

} // namespace

void TMain::connectTilesTab() {
    const auto options = [this] { TileOptionsOnChange(); };
    connect(SpinBoxTolerance, &QSpinBox::valueChanged, this, options);
    connect(CheckBoxTurned, &QCheckBox::toggled, this, options);
    connect(SpeedButtonShowCopies, &QToolButton::clicked, this,
            &TMain::SpeedButtonShowCopiesOnClick);
    connect(SpeedButtonCompact, &QToolButton::clicked, this, &TMain::SpeedButtonCompactOnClick);
    connect(SpeedButtonExportMap, &QToolButton::clicked, this, &TMain::SpeedButtonExportMapOnClick);
    connect(SpeedButtonWrapPreview, &QToolButton::clicked, this,
            &TMain::SpeedButtonWrapPreviewOnClick);

    // The counts follow every change of the Target's pixels and pages.
    connect(tiles_, &TargetTiles::analysed, this, &TMain::showTileBudget);
    connect(texture_, &document::TextureSet::pagesChanged, tiles_, &TargetTiles::pictureChanged);
    connect(texture_, &document::TextureSet::historyChanged, this,
            [this] { tiles_->historyMoved(texture_->stepIndex(), movingHistory_); });
    Target->setOverlayPainter(
        [this](QPainter& painter, const imaging::Rect& area) { drawTileOutlines(painter, area); });
    // Over a copy, while copies are shown, the position field names what it copies.
    keys_->setTargetCellNote([this](int x, int y) -> QString {
        if (!SpeedButtonShowCopies->isChecked())
            return {};
        const TileReport& report = tiles_->report();
        if (x >= report.columns * kTileSide || y >= report.rows * kTileSide)
            return {};
        const auto& cell =
            report
                .cells[static_cast<std::size_t>((y / kTileSide) * report.columns + x / kTileSide)];
        if (cell.kind != CellClass::Copy)
            return {};
        return interfaceTexts().PointerCopyFormat.arg(cell.kept).arg(
            QString::fromLatin1(document::orientationName(cell.orientation)));
    });

    // The readout's menu lists the groups; the one under the pointer lights up on the Target.
    auto* groups = new QMenu(TileBudget);
    groups->setObjectName(QStringLiteral("TileGroupMenu"));
    TileBudget->setMenu(groups);
    connect(groups, &QMenu::aboutToShow, this, &TMain::fillGroupMenu);
    connect(groups, &QMenu::hovered, this, [this](QAction* action) {
        highlightedGroup_ = action->data().isValid() ? action->data().toInt() : -1;
        Target->updateOverlay();
    });
    connect(groups, &QMenu::aboutToHide, this, [this] {
        highlightedGroup_ = -1;
        Target->updateOverlay();
    });
    connect(groups, &QMenu::triggered, this, [this](QAction* action) {
        if (!action->data().isValid())
            return;
        // The kept tile of the group chosen comes into view.
        const int kept = action->data().toInt();
        const TileReport& report = tiles_->report();
        const int zoom = Target->zoom();
        const int x = (kept % std::max(1, report.columns)) * kTileSide;
        const int y = (kept / std::max(1, report.columns)) * kTileSide;
        Target->ScrollBoxImageStack->ensureVisible((x + kTileSide / 2) * zoom,
                                                   (y + kTileSide / 2) * zoom, kTileSide * zoom,
                                                   kTileSide * zoom);
    });

    // Qt's own save dialog, as the picture dialogs are, offering the file next to the set.
    runIndexMapDialog = [this](const QString& offered) {
        QFileDialog dialog(this, interfaceTexts().ExportMapTitle, offered,
                           interfaceTexts().ExportMapFilter);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("csv"));
        dialog.selectFile(offered);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };

    // The wrap preview follows the pointer over either canvas, the current tile elsewhere.
    wrapPreview_ = new WrapPreview(this);
    for (canvas::TFrameStack* canvas : {Source, Target}) {
        connect(canvas, &canvas::TFrameStack::overlayMouseMoved, this,
                [this, canvas](Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
                    previewCellAt(*canvas, x, y);
                });
        connect(canvas, &canvas::TFrameStack::overlayLeft, this, &TMain::previewCurrentTile);
    }
    connect(ClipTileImage, &TileViewer::pictureChanged, this, [this] {
        if (!wrapPreview_->shownCanvas())
            previewCurrentTile();
    });
    connect(wrapPreview_, &WrapPreview::shownChanged, SpeedButtonWrapPreview,
            &QToolButton::setChecked);
    showTileBudget();
}

void TMain::TileOptionsOnChange() {
    document::TileOptions options;
    options.tolerance = SpinBoxTolerance->value();
    options.turned = CheckBoxTurned->isChecked();
    tiles_->setOptions(options);
}

void TMain::showTileBudget() {
    const TileReport& report = tiles_->report();
    const TextTable& texts = interfaceTexts();
    TileBudget->setFittedText(texts.TileBudgetFormat.arg(report.kept)
                                  .arg(kEditorTiles)
                                  .arg(report.used)
                                  .arg(report.copies)
                                  .arg(report.empty));
    // Past the editors' limit the readout turns red, as the size line does.
    QPalette face = TileBudget->palette();
    face.setColor(QPalette::ButtonText,
                  report.kept > kEditorTiles ? kBudgetRed : palette().color(QPalette::ButtonText));
    TileBudget->setPalette(face);
    const QString spoken = texts.TileBudgetSpokenFormat.arg(report.kept)
                               .arg(kEditorTiles)
                               .arg(report.used)
                               .arg(report.copies)
                               .arg(report.empty);
    TileBudget->setAccessibleDescription(spoken + QStringLiteral(". ") +
                                         texts.HintTileBudget.trimmed());
    if (SpeedButtonShowCopies->isChecked() || highlightedGroup_ >= 0)
        Target->updateOverlay();
    if (wrapPreview_ && wrapPreview_->shownCanvas() == Target)
        wrapPreview_->refresh();
}

void TMain::drawTileOutlines(QPainter& painter, const imaging::Rect& area) const {
    const bool showCopies = SpeedButtonShowCopies->isChecked();
    if (!showCopies && highlightedGroup_ < 0)
        return;
    // The outlines show the analysis as it stands; an edit not analysed yet is outlined
    // when its analysis comes, a moment later.
    const TileReport& report = tiles_->lastReport();
    if (report.columns <= 0)
        return;
    const int firstCol = std::max(0, area.left / kTileSide);
    const int lastCol = std::min(report.columns - 1, (area.right - 1) / kTileSide);
    const int firstRow = std::max(0, area.top / kTileSide);
    const int lastRow = std::min(report.rows - 1, (area.bottom - 1) / kTileSide);
    painter.setBrush(Qt::NoBrush);
    for (int row = firstRow; row <= lastRow; ++row)
        for (int col = firstCol; col <= lastCol; ++col) {
            const int index = row * report.columns + col;
            const auto& cell = report.cells[static_cast<std::size_t>(index)];
            const bool inGroup = highlightedGroup_ >= 0 &&
                                 (index == highlightedGroup_ ||
                                  (cell.kind == CellClass::Copy && cell.kept == highlightedGroup_));
            QColor colour;
            if (inGroup)
                colour = kHighlight;
            else if (showCopies && cell.kind == CellClass::Copy)
                colour = kCopyOutline;
            else if (showCopies && tiles_->hasCopies(index))
                colour = kKeptOutline;
            else
                continue;
            // A frame inside the cell, so that neighbouring frames stay apart.
            painter.setPen(QPen(colour, inGroup ? 3 : 2));
            const int inset = inGroup ? 2 : 1;
            painter.drawRect(QRectF(col * kTileSide + inset, row * kTileSide + inset,
                                    kTileSide - 2 * inset, kTileSide - 2 * inset));
        }
}

void TMain::fillGroupMenu() {
    QMenu* menu = TileBudget->menu();
    menu->clear();
    const TileReport& report = tiles_->report();
    const TextTable& texts = interfaceTexts();
    int listed = 0;
    for (const auto& group : report.groups) {
        if (group.copies.empty())
            continue;
        QStringList copies;
        for (const document::TileCopy& copy : group.copies) {
            if (copies.size() == kListedCopies) {
                copies.append(QStringLiteral("\u2026"));
                break;
            }
            QString entry = QString::number(copy.cell);
            if (copy.orientation != document::Orientation::Same)
                entry += QLatin1Char(' ') +
                         QString::fromLatin1(document::orientationName(copy.orientation));
            copies.append(entry);
        }
        QAction* action = menu->addAction(
            texts.TileGroupFormat.arg(group.kept).arg(copies.join(QStringLiteral(", "))));
        action->setData(group.kept);
        ++listed;
    }
    if (listed == 0)
        menu->addAction(texts.TileNoGroups)->setEnabled(false);
}

void TMain::SpeedButtonShowCopiesOnClick() {
    Target->updateOverlay();
}

void TMain::SpeedButtonCompactOnClick() {
    Target->CompleteAnimation();
    const TileReport report = tiles_->report();
    // The counted pages alone are compacted; pages hidden by lower counters go with the rest
    // of the picture (undo brings them back).
    const imaging::Bitmap& picture = Target->Bitmap();
    const imaging::Rect view{0, 0, Target->PortWidth(), Target->PortHeight()};
    imaging::Bitmap shown;
    if (view != picture.rect()) {
        shown = imaging::Bitmap(view.width(), view.height(), picture.format());
        shown.copyRect({0, 0}, picture, view);
    }
    const imaging::Bitmap& set = shown.isEmpty() ? picture : shown;
    int heightPages = 0;
    imaging::Bitmap compacted = document::compactTiles(set, report, heightPages);
    const TextTable& texts = interfaceTexts();
    // The same set on the same pages: nothing to do, no step of the history, and the pages
    // hidden by lower counters stay.
    if (samePixels(compacted, set)) {
        notice_->show(texts.CompactNothing);
        return;
    }
    std::string map = document::indexMapCsv(report);
    // One step: the picture before and the pages it was shown on come back together.
    {
        const document::TargetState before = texture_->state();
        const document::TextureSet::ChangeScope change(*texture_);
        std::swap(Target->Bitmap(), compacted);
        texture_->recordPicture(std::move(compacted), before);
        Target->Invalidate();
        ResizeTargetWindow(nullptr);
    }
    tiles_->rememberCompaction(std::move(map), texture_->stepIndex());
    notice_->show(texts.CompactDoneFormat.arg(report.kept)
                      .arg(texture_->widthPages() * texture_->heightPages()));
}

void TMain::SpeedButtonExportMapOnClick() {
    // The map of the last Compact while it stands; else the map compacting now would give.
    const std::string* standing = tiles_->standingCompaction();
    const std::string map = standing ? *standing : document::indexMapCsv(tiles_->report());
    const QString file =
        runIndexMapDialog(offeredMapName(texture_->savedPath(), texture_->reloadedPath()));
    if (file.isEmpty())
        return;
    const TextTable& texts = interfaceTexts();
    QSaveFile out(file);
    const bool written =
        out.open(QIODevice::WriteOnly) &&
        out.write(map.data(), static_cast<qint64>(map.size())) == static_cast<qint64>(map.size()) &&
        out.commit();
    if (!written) {
        QMessageBox::warning(this, windowTitle(),
                             texts.ExportMapFailedFormat.arg(file, out.errorString()));
        return;
    }
    notice_->show(texts.ExportMapWrittenFormat.arg(file));
}

void TMain::SpeedButtonWrapPreviewOnClick() {
    if (wrapPreview_->isVisible()) {
        wrapPreview_->close();
        return;
    }
    wrapPreview_->placeBeside(frameGeometry());
    wrapPreview_->show();
    wrapPreview_->raise();
    // Shown, it takes the current tile until the pointer is over a canvas.
    previewCurrentTile();
    SpeedButtonWrapPreview->setChecked(true);
}

void TMain::previewCellAt(canvas::TFrameStack& canvas, int x, int y) {
    if (!wrapPreview_->isVisible())
        return;
    if (x < 0 || y < 0 || x >= canvas.PortWidth() || y >= canvas.PortHeight()) {
        previewCurrentTile();
        return;
    }
    // Tiles lie on the canvas's grid (a custom grid on the Source may start further in).
    const int originX = canvas.SnapToGrid ? canvas.GridOffsetX % kTileSide : 0;
    const int originY = canvas.SnapToGrid ? canvas.GridOffsetY % kTileSide : 0;
    const auto cellStart = [](int p, int origin) {
        const int from = p - origin;
        return origin +
               (from >= 0 ? from / kTileSide : (from - kTileSide + 1) / kTileSide) * kTileSide;
    };
    const int left = cellStart(x, originX);
    const int top = cellStart(y, originY);
    if (wrapPreview_->shownCanvas() == &canvas && wrapPreview_->shownCorner() == QPoint(left, top))
        return;
    wrapPreview_->showCell(canvas, left, top);
}

void TMain::previewCurrentTile() {
    if (wrapPreview_ && wrapPreview_->isVisible())
        wrapPreview_->showCurrentTile(ClipTileImage->picture());
}

} // namespace parvane::app
