#pragma once

#include "view/sheet_layout.h"

#include <QWidget>

class CZolvaDoc;
class QLabel;
class QToolButton;

// A small picture of one page of the sheet as the current choices make it,
// with buttons to step through the pages.
class SheetPreview : public QWidget {
    Q_OBJECT
public:
    explicit SheetPreview(CZolvaDoc& doc, QWidget* parent = nullptr);

    // Lays the sheet out anew with setup and shows the page that was shown
    // (or the last one, if there are fewer now).
    void showSheet(const SheetPageSetup& setup);
    int page() const { return m_page; }
    int pageCount() const { return m_pageCount; }
    const QImage& picture() const { return m_picture; }

private:
    void draw();

    CZolvaDoc& m_doc;
    SheetPageSetup m_setup;
    int m_page = 0;
    int m_pageCount = 0;
    QImage m_picture;
    QLabel* m_image;
    QLabel* m_pageText;
    QToolButton* m_previous;
    QToolButton* m_next;
};
