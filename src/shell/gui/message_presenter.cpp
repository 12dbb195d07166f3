#include "shell/gui/message_presenter.h"

namespace vorax::gui {

void showModalMessageBox(QWidget* parent, const MessageBoxRequest& request) {
  QMessageBox box(request.icon, request.caption, request.text, QMessageBox::Ok, parent);
  box.exec();
}

}  // namespace vorax::gui
