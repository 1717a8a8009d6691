// The package's help viewer: shows the pages of the compiled help file "Help3.chm" (read
// with chmlib) beside its contents tree, its keyword index and a full-text search, at its
// default page, at a numbered topic or at the page of a section.
#pragma once
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <memory>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;
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
    bool contains(const QString& objectPath) const;
    QString defaultPage() const { return defaultPage_; }  // "/index.htm"
    QString title() const { return title_; }
    QString contentsFile() const { return contentsFile_; }  // "/toc.hhc", "" when there is none
    QString indexFile() const { return indexFile_; }        // "/index.hhk", "" when there is none
    QStringList pages() const;                              // every .htm/.html object, sorted
    // The page of a context topic number, "" when the file does not map it.
    QString topicPage(int topic) const;
    // The page of a section code (11, 213, …), "" when the file has none.
    QString sectionPage(int section) const;
    // The first page of the worked examples, "" when the file has none.
    QString examplesPage() const;

private:
    void readSystem();
    QString tableEntry(const QString& key) const;  // a line "key=page" of velta_topics.txt
    ::chmFile* handle_ = nullptr;
    QString defaultPage_ = "/index.htm";
    QString title_, contentsFile_, indexFile_;
};

// An entry of a table of contents (.hhc) or of a keyword index (.hhk): its name, the
// pages it leads to (with their titles in an index) and its sub-entries.
struct SitemapEntry {
    QString name;
    QStringList pages;   // archive paths, "/page.htm" or "/page.htm#anchor"
    QStringList titles;  // titles of the pages, when the file names them
    QList<SitemapEntry> children;
};
QList<SitemapEntry> parseSitemap(const QString& html);
// Archive path of a link of a sitemap or page: "page.htm", "ms-its:Help3.chm::/page.htm".
QString archiveLink(QString link);

// Full-text search over the pages of an archive: every word of every page, built once.
class HelpSearch {
public:
    struct Hit {
        QString page, title;
        int score = 0;
    };
    void build(const ChmArchive& chm);
    // Pages holding every word of the query, best first; a word matches every form of it
    // (its ending is dropped and the rest matched as a prefix: "сечение" finds "сечения").
    QList<Hit> find(const QString& query) const;
    int pageCount() const { return static_cast<int>(pages_.size()); }
    QString title(const QString& page) const;
    static QStringList words(const QString& text);  // lower case, "ё" read as "е"
    static QString stem(const QString& word);       // a Russian word without its ending

private:
    struct Page {
        QString path, title;
    };
    QList<Page> pages_;
    QMap<QString, QHash<int, int>> words_;  // word -> page number -> occurrences
};

class HelpViewer : public QWidget {
    Q_OBJECT
public:
    // Opens the viewer (one window, reused) on the help file at a topic, 0 for the
    // default page; topic 1002 with a section code opens that section's page. A missing
    // file or topic is reported in the viewer. Returns the viewer's handle, never 0.
    static std::int32_t open(const QString& chmPath, int topic, int section = 0);
    // Opens the worked examples of the help file; 0 when it has none, else the handle.
    static std::int32_t openExamples(const QString& chmPath);
    // Shows a document of the package's own (HTML) in the viewer.
    static std::int32_t openDocument(const QString& title, const QString& html);
    // Closes every viewer window; returns 0, the handle of no viewer.
    static std::int32_t closeAll();
    static HelpViewer* current();

    QString currentPage() const;  // archive path of the page shown, "" for a message
    QString pageText() const;     // plain text of what is shown
    // The search of the "Поиск" tab: fills its list and returns the pages found.
    QStringList search(const QString& query);
    const HelpSearch& searchIndex() const { return search_; }
    ~HelpViewer() override;

private:
    HelpViewer();
    bool openArchive(const QString& chmPath);
    void load(const QString& chmPath, int topic, int section);
    void showPage(const QString& page);
    void showMessage(const QString& text);
    void fillContents();
    void fillIndex();
    void filterIndex(const QString& text);
    void syncContents(const QString& page);

    std::unique_ptr<ChmArchive> chm_;
    QString chmPath_;
    qint64 chmStamp_ = 0;
    HelpSearch search_;
    QTabWidget* tabs_ = nullptr;
    QTreeWidget* contents_ = nullptr;
    QTreeWidget* index_ = nullptr;
    QLineEdit* indexFilter_ = nullptr;
    QLineEdit* searchText_ = nullptr;
    QListWidget* searchHits_ = nullptr;
    QTextBrowser* browser_ = nullptr;
    QString pendingFind_;  // the search words to mark on the page opened from the hit list
    std::int32_t handle_ = 0;
    static inline QPointer<HelpViewer> instance_;
};

}  // namespace velta
