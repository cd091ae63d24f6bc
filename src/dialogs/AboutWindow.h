#pragma once
// frmKavra3, "About Kavra": Kavra's terms-of-use statement. The statement is held
// in 50 text slots, of which the first nine are filled: an opening paragraph and
// the conditions (a) to (h). The text is built once, when the window is made.

#include <QDialog>
#include <QString>

#include <array>

class QPlainTextEdit;
class QPushButton;

namespace kavra {

class AboutWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int kSlotCount = 50;

    explicit AboutWindow(QWidget *parent = nullptr);

    // The statement's slots in order; the unused ones are empty.
    static std::array<QString, kSlotCount> statementSlots();
    // Every non-empty slot followed by CR LF CR LF.
    static QString statementText(const std::array<QString, kSlotCount> &statement);

    // The text of txtKavra9231 with its CR LF line breaks.
    QString text() const { return text_; }

public slots:
    void cmdKavra9231_Click();  // OK: hides the window; it keeps its text

private:
    QString text_;
    QPlainTextEdit *statement_;
    QPushButton *ok_;
};

}  // namespace kavra
