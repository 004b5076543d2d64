#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace chomaru {

// The welcome window of a first start.
class ReadMeDialog : public QDialog {
    Q_OBJECT
public:
    explicit ReadMeDialog(QWidget* parent = nullptr);

    static const QString welcome_text;

    QPlainTextEdit* Text1;
    QPushButton* Command1;
};

}  // namespace chomaru
