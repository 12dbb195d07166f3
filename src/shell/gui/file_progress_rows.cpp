#include "shell/gui/file_progress_rows.h"

#include <algorithm>
#include <limits>

namespace vorax::gui {
namespace {

// Rows sit at fixed places: the window has a fixed size, and a compilation processes no
// events, so a layout would never get the chance to move a row that becomes visible.
constexpr int kTopMargin = 3;
constexpr int kRowPitch = 18;
constexpr int kRowHeight = 15;
constexpr int kLabelLeft = 8;
constexpr int kLabelWidth = 128;
constexpr int kBarLeft = 140;
constexpr int kBarWidth = 181;

int clampedToInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, 0, std::numeric_limits<int>::max()));
}

}  // namespace

FileProgressRows::FileProgressRows(QWidget* parent) : QWidget(parent) {
  for (int row = 1; row <= kProgressRowCount; ++row) {
    QLabel& rowLabel = label(row);
    QProgressBar& rowBar = bar(row);
    const int top = kTopMargin + (row - 1) * kRowPitch;
    rowLabel.setParent(this);
    rowLabel.setObjectName(QStringLiteral("Label%1").arg(row));
    rowLabel.setGeometry(kLabelLeft, top, kLabelWidth, kRowHeight);
    rowLabel.hide();
    rowBar.setParent(this);
    rowBar.setObjectName(QStringLiteral("ProgressBar%1").arg(row));
    rowBar.setGeometry(kBarLeft, top, kBarWidth, kRowHeight);
    rowBar.setTextVisible(false);
    rowBar.hide();
  }
}

void FileProgressRows::showRow(int row, const QString& fileName, std::int64_t fileSize) {
  if (!isRow(row)) {
    return;
  }
  label(row).setText(fileName);
  label(row).show();
  // A bar with maximum 0 would turn into a busy indicator; an empty file shows an empty bar.
  bar(row).setRange(0, std::max(1, clampedToInt(fileSize)));
  bar(row).setValue(0);
  bar(row).show();
}

void FileProgressRows::stepRow(int row, std::int64_t amount) {
  if (!isRow(row)) {
    return;
  }
  QProgressBar& rowBar = bar(row);
  const std::int64_t position = static_cast<std::int64_t>(rowBar.value()) + amount;
  rowBar.setValue(clampedToInt(std::min<std::int64_t>(position, rowBar.maximum())));
}

void FileProgressRows::hideRow(int row) {
  if (!isRow(row)) {
    return;
  }
  label(row).hide();
  bar(row).hide();
}

}  // namespace vorax::gui
