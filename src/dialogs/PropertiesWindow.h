#pragma once
// frmKavra6, "Properties": a plain-text report of what is loaded, built each
// time the File menu's Properties entry runs. It does not follow later changes.

#include <QDialog>
#include <QSize>
#include <QString>

class QPlainTextEdit;
class QPushButton;

namespace kavra {

struct DataSet;

// The report: per loaded file its number, path, node and the other fields of its
// record 1, then the main window's and the screen's sizes (in twips), the data
// set's dimensions, the file limit and the user. Lines end with CR LF.
QString propertiesReport(const DataSet &data, const QString &currentUser, QSize windowTwips, QSize screenTwips);

// Pixels to twips: 1440 twips to the logical inch.
QSize pixelsToTwips(QSize pixels, double dpiX, double dpiY);
// The outer size of a window (frame included), in twips.
QSize windowTwips(const QWidget &window);
// The size of the screen a window is on (the primary screen when it is on none), in twips.
QSize screenTwips(const QWidget &window);

class PropertiesWindow : public QDialog {
    Q_OBJECT
public:
    explicit PropertiesWindow(QWidget *parent = nullptr);

    using QDialog::show;
    // Puts the report into txtKavra61 (replacing what was there) and shows the
    // window, modeless.
    void show(const QString &report);
    // Empties txtKavra61 (unloading the window does it; so does the main window's Close).
    void clear();

    // The text of txtKavra61 with its CR LF line breaks.
    QString text() const { return text_; }

public slots:
    void cmdKavra61_Click();  // OK: hides the window and empties the text

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    QString text_;
    QPlainTextEdit *report_;
    QPushButton *ok_;
};

}  // namespace kavra
