#include "ui/TfmSF.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace kzm {

QStringList SfFilters() {
    return {QStringLiteral("SQL (*.fdb;*.gdb)"), QStringLiteral("DOS (*.dbf;*.db)"),
            QStringLiteral("All files (*.*)")};
}

QStringList FilterMask(const QString& entry) {
    const qsizetype open = entry.lastIndexOf(u'(');
    const qsizetype close = entry.lastIndexOf(u')');
    const QString patterns =
        open >= 0 && close > open ? entry.mid(open + 1, close - open - 1) : entry;
    QStringList mask;
    for (const QString& part : patterns.split(u';', Qt::SkipEmptyParts)) {
        const QString pattern = part.trimmed();
        if (pattern.isEmpty())
            continue;
        mask.append(pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
    }
    if (mask.isEmpty())
        mask.append(QStringLiteral("*"));
    return mask;
}

TfmSF::TfmSF(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmSF"));
    setWindowTitle(QStringLiteral("Wybór pliku"));
    setModal(true);

    dcbDrive_ = new QComboBox(this);
    dcbDrive_->setObjectName(QStringLiteral("dcbDrive"));
    for (const QFileInfo& drive : QDir::drives())
        dcbDrive_->addItem(drive.absolutePath());

    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    folders_->setReadOnly(true);
    folders_->setRootPath(QString());

    dlbFolders_ = new QTreeView(this);
    dlbFolders_->setObjectName(QStringLiteral("dlbFolders"));
    dlbFolders_->setModel(folders_);
    dlbFolders_->setHeaderHidden(true);
    for (int column = 1; column < folders_->columnCount(); ++column)
        dlbFolders_->hideColumn(column);
    dlbFolders_->setSelectionMode(QAbstractItemView::SingleSelection);

    flbFiles_ = new QListWidget(this);
    flbFiles_->setObjectName(QStringLiteral("flbFiles"));
    flbFiles_->setSelectionMode(QAbstractItemView::SingleSelection);
    flbFiles_->installEventFilter(this);

    auto* lbTyp = new QLabel(QStringLiteral("Wybór typu"), this);
    fcbTyp_ = new QComboBox(this);
    fcbTyp_->setObjectName(QStringLiteral("fcbTyp"));
    fcbTyp_->addItems(SfFilters());
    lbTyp->setBuddy(fcbTyp_);

    sbFull_ = new QToolButton(this);
    sbFull_->setObjectName(QStringLiteral("sbFull"));
    sbFull_->setToolTip(QStringLiteral("Pełna wysokość"));
    btnOK_ = new QPushButton(QStringLiteral("OK"), this);
    btnOK_->setObjectName(QStringLiteral("btnOK"));
    btnOK_->setDefault(true);
    btnAnuluj_ = new QPushButton(QStringLiteral("Anuluj"), this);
    btnAnuluj_->setObjectName(QStringLiteral("btnAnuluj"));
    UpdateFullIcon();

    auto* left = new QVBoxLayout;
    left->addWidget(dcbDrive_);
    left->addWidget(dlbFolders_, 1);
    auto* lists = new QHBoxLayout;
    lists->addLayout(left, 1);
    lists->addWidget(flbFiles_, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lbTyp);
    bottom->addWidget(fcbTyp_);
    bottom->addStretch();
    bottom->addWidget(sbFull_);
    bottom->addWidget(btnOK_);
    bottom->addWidget(btnAnuluj_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(bottom);
    resize(600, 420);

    connect(dlbFolders_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { FolderChanged(current); });
    connect(dcbDrive_, &QComboBox::activated, this,
            [this](int index) { SetFolder(dcbDrive_->itemText(index)); });
    connect(fcbTyp_, &QComboBox::currentIndexChanged, this, [this] {
        const QListWidgetItem* item = flbFiles_->currentItem();
        FillFiles(item ? item->text() : QString());
    });
    connect(flbFiles_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        flbFiles_->setCurrentItem(item);
        TakeSelected();
    });
    connect(btnOK_, &QPushButton::clicked, this, [this] { TakeSelected(); });
    connect(btnAnuluj_, &QPushButton::clicked, this, &QDialog::reject);
    connect(sbFull_, &QToolButton::clicked, this, [this] { ToggleFullHeight(); });

    SetFolder(QDir::currentPath());
}

QString TfmSF::SelectFile(const QString& startFile) {
    if (full_)
        ToggleFullHeight();
    normalTop_ = y();
    normalHeight_ = height();
    path_.clear();

    const QFileInfo start(startFile);
    if (!startFile.isEmpty() && start.isFile()) {
        if (!QDir::match(FilterMask(fcbTyp_->currentText()), start.fileName())) {
            const QStringList filters = SfFilters();
            for (int i = 0; i < filters.size(); ++i) {
                if (QDir::match(FilterMask(filters[i]), start.fileName())) {
                    fcbTyp_->setCurrentIndex(i);
                    break;
                }
            }
        }
        SetFolder(start.absolutePath());
        SelectName(start.fileName());
    } else if (!startFile.isEmpty() && start.isDir()) {
        SetFolder(start.absoluteFilePath());
    } else {
        SetFolder(QDir(folder_).exists() ? folder_ : QDir::currentPath());
    }

    flbFiles_->setFocus();
    if (exec() != QDialog::Accepted)
        path_.clear();
    return path_;
}

void TfmSF::SetFolder(const QString& folder) {
    folder_ = QDir::cleanPath(QDir(folder).absolutePath());
    const QModelIndex index = folders_->index(folder_);
    if (index.isValid()) {
        settingFolder_ = true;
        dlbFolders_->setCurrentIndex(index);
        dlbFolders_->scrollTo(index);
        settingFolder_ = false;
    }
    FillFiles(QString());
}

QString TfmSF::selectedFile() const {
    const QList<QListWidgetItem*> selected = flbFiles_->selectedItems();
    if (selected.isEmpty())
        return {};
    return QDir(folder_).absoluteFilePath(selected.first()->text());
}

void TfmSF::ToggleFullHeight() {
    QScreen* scr = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!full_) {
        normalTop_ = y();
        normalHeight_ = height();
        if (scr) {
            const QRect area = scr->availableGeometry();
            const int frame = frameGeometry().height() - height();
            move(x(), area.top());
            resize(width(), area.height() - frame);
        }
        full_ = true;
    } else {
        move(x(), normalTop_);
        resize(width(), normalHeight_);
        full_ = false;
    }
    UpdateFullIcon();
}

bool TfmSF::eventFilter(QObject* watched, QEvent* event) {
    if (watched == flbFiles_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            TakeSelected();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfmSF::FolderChanged(const QModelIndex& current) {
    if (settingFolder_ || !current.isValid())
        return;
    folder_ = QDir::cleanPath(folders_->filePath(current));
    FillFiles(QString());
}

void TfmSF::FillFiles(const QString& keepName) {
    flbFiles_->clear();
    const QDir dir(folder_);
    flbFiles_->addItems(dir.entryList(FilterMask(fcbTyp_->currentText()),
                                      QDir::Files | QDir::NoDotAndDotDot,
                                      QDir::Name | QDir::IgnoreCase));
    if (!keepName.isEmpty())
        SelectName(keepName);
}

void TfmSF::SelectName(const QString& name) {
    for (int row = 0; row < flbFiles_->count(); ++row) {
        QListWidgetItem* item = flbFiles_->item(row);
        if (item->text() == name) {
            flbFiles_->setCurrentItem(item);
            item->setSelected(true);
            flbFiles_->scrollToItem(item);
            return;
        }
    }
}

void TfmSF::TakeSelected() {
    const QString file = selectedFile();
    if (file.isEmpty())
        return;
    path_ = file;
    accept();
}

void TfmSF::UpdateFullIcon() {
    sbFull_->setIcon(style()->standardIcon(full_ ? QStyle::SP_TitleBarNormalButton
                                                 : QStyle::SP_TitleBarMaxButton));
}

} // namespace kzm
