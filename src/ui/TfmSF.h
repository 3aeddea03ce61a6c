#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QFileSystemModel;
class QListWidget;
class QListWidgetItem;
class QModelIndex;
class QPushButton;
class QToolButton;
class QTreeView;

namespace kzm {

// The entries of the type filter, as the list shows them.
QStringList SfFilters();

// The file name patterns of a type filter entry such as "SQL (*.fdb;*.gdb)": the patterns
// between the parentheses, with "*.*" standing for every file.
QStringList FilterMask(const QString& entry);

// The file selection dialog: a folder tree, the folder's files under a type filter.
class TfmSF : public QDialog {
    Q_OBJECT

public:
    explicit TfmSF(QWidget* parent = nullptr);

    // Opens on the start file's folder with that file selected (or, for a start file that does
    // not exist, on the folder shown last) and returns the chosen file's full path, or empty
    // text when the user cancelled.
    QString SelectFile(const QString& startFile);

    // The folder shown last; at first the current folder.
    QString lastFolder() const { return folder_; }

    // Shows a folder in the tree and its files in the list.
    void SetFolder(const QString& folder);
    // The full path of the file selected in the list, or empty text.
    QString selectedFile() const;

    // Switches between the window's own top and height and the full screen height.
    void ToggleFullHeight();
    bool isFullHeight() const { return full_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FolderChanged(const QModelIndex& current);
    void FillFiles(const QString& keepName);
    void SelectName(const QString& name);
    void TakeSelected();
    void UpdateFullIcon();

    QComboBox* dcbDrive_ = nullptr;
    QFileSystemModel* folders_ = nullptr;
    QTreeView* dlbFolders_ = nullptr;
    QListWidget* flbFiles_ = nullptr;
    QComboBox* fcbTyp_ = nullptr;
    QPushButton* btnOK_ = nullptr;
    QPushButton* btnAnuluj_ = nullptr;
    QToolButton* sbFull_ = nullptr;

    QString folder_;
    QString path_;
    bool settingFolder_ = false;
    bool full_ = false;
    int normalTop_ = 0;
    int normalHeight_ = 0;
};

} // namespace kzm
