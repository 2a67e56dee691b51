#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QTextBrowser;

namespace ui {

/// A non-modal window showing the HTML help document.
class HelpViewer : public QObject {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* owner);
    ~HelpViewer() override;

    /// Opens (or raises) the help window at the given start page.
    void open(const QString& startPage);
    /// Closes every help window.
    void closeAll();
    bool isOpen() const;
    QWidget* window() const;

private:
    QWidget* m_owner;
    QPointer<QWidget> m_window;
    QTextBrowser* m_browser = nullptr;
};

}  // namespace ui
