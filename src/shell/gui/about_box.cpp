#include "shell/gui/about_box.h"

#include <QFont>

#include "driver/version.h"
#include "shell/gui/pictures.h"

namespace vorax::gui {
namespace {

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr int kIconSize = 32;

}  // namespace

AboutTexts productAboutTexts() {
  return AboutTexts{fromUtf8(kProductName), fromUtf8(kVersionText), fromUtf8(kProductDate)};
}

TAboutBox::TAboutBox(const AboutTexts& texts, const QString& programTitle, QWidget* parent)
    : QDialog(parent), buttons_(QDialogButtonBox::Ok) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("バージョン情報"));
  setWindowIcon(programIcon());
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

  programIcon_.setObjectName(QStringLiteral("ProgramIcon"));
  programIcon_.setPixmap(programIcon().pixmap(kIconSize, kIconSize));
  productName_.setObjectName(QStringLiteral("ProductName"));
  productName_.setText(texts.ProductName.isEmpty() ? programTitle : texts.ProductName);
  QFont nameFont = productName_.font();
  nameFont.setBold(true);
  productName_.setFont(nameFont);
  version_.setObjectName(QStringLiteral("Version"));
  version_.setText(texts.Version);
  productDate_.setObjectName(QStringLiteral("ProductDate"));
  productDate_.setText(texts.ProductDate);
  connect(&buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);

  setLayout(&layout_);
  textLayout_.setHorizontalSpacing(16);
  textLayout_.addWidget(&programIcon_, 0, 0, 3, 1, Qt::AlignTop);
  textLayout_.addWidget(&productName_, 0, 1);
  textLayout_.addWidget(&version_, 1, 1);
  textLayout_.addWidget(&productDate_, 2, 1);
  layout_.addLayout(&textLayout_);
  layout_.addWidget(&buttons_);
  layout_.setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace vorax::gui
