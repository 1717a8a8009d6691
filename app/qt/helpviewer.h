// The package's help viewer: shows the pages of the compiled help file "Help3.chm" (read
// with chmlib) in a browser window, at its default page or at a numbered topic.
#pragma once
#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <memory>

class QTextBrowser;
struct chmFile;

namespace velta {

// Read access to the objects of a compiled help file.
class ChmArchive {
public:
    explicit ChmArchive(const QString& path);
    ~ChmArchive();
    ChmArchive(const ChmArchive&) = delete;
    ChmArchive& operator=(const ChmArchive&) = delete;

    bool isOpen() const { return handle_ != nullptr; }
    // The object at an archive path such as "/index.htm"; false when there is none.
    bool read(const QString& objectPath, QByteArray& out) const;
    QString defaultPage() const { return defaultPage_; }  // "/index.htm"
    QString title() const { return title_; }
    // The page of a context topic number, "" when the file does not map it.
    QString topicPage(int topic) const;

private:
    void readSystem();
    ::chmFile* handle_ = nullptr;
    QString defaultPage_ = "/index.htm";
    QString title_;
};

class HelpViewer : public QWidget {
    Q_OBJECT
public:
    // Opens the viewer (one window, reused) on the help file at a topic, 0 for the
    // default page. A missing file or topic is reported in the viewer. Returns the
    // viewer's handle, never 0.
    static std::int32_t open(const QString& chmPath, int topic);
    // Closes every viewer window; returns 0, the handle of no viewer.
    static std::int32_t closeAll();
    static HelpViewer* current();

    QString currentPage() const;  // archive path of the page shown, "" for a message
    QString pageText() const;     // plain text of what is shown
    ~HelpViewer() override;

private:
    HelpViewer();
    void load(const QString& chmPath, int topic);
    void showMessage(const QString& text);

    std::unique_ptr<ChmArchive> chm_;
    QTextBrowser* browser_ = nullptr;
    std::int32_t handle_ = 0;
    static inline QPointer<HelpViewer> instance_;
};

} // namespace velta
