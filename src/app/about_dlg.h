#pragma once

#include "app/url_opener.h"

#include <QDialog>
#include <QUrl>

class QListWidget;
class QListWidgetItem;
struct DisplayVersion;

// The About box: the picture and a list of ten rows, the version line first.
// Rows 5 and 9 hold addresses; a click or double click on one of them opens
// it, on any other row nothing happens. A double click opens its address once:
// its first click has opened it already.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMakerRow = 5;
    static constexpr int kRelatedRow = 9;

    // makerAddress is row 5's address (the user manual's start page).
    CAboutDlg(const DisplayVersion& version, const QUrl& makerAddress, UrlOpener opener,
              QWidget* parent = nullptr);

    QListWidget* list() const { return m_list; }
    // Row 9's address: a public encyclopedia article on the kalimba.
    static QUrl relatedAddress();

private:
    void openRowAddress(int row);

    QListWidget* m_list;
    UrlOpener m_opener;
    QUrl m_makerAddress;
    int m_lastClickedRow = -1; // the row the latest single click opened, if any
};

// The About command (id 57664).
inline constexpr int kAboutCommand = 57664;
void OnAppAbout(const UrlOpener& opener, QWidget* parent);
