#pragma once
// Shows message boxes with QMessageBox. Help shows the help and keeps the box up.

#include "platform/MessageBox.h"

class QWidget;

class QtMessagePresenter : public MessagePresenter {
public:
    explicit QtMessagePresenter(QWidget* parent = nullptr) : mParent(parent) {}
    MsgResult show(const MessageRequest& request) override;

private:
    QWidget* mParent;
};
