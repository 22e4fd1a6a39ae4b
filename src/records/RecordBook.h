// The record book: the saved records of a folder, newest first, with start, battery, duration,
// capacity, energy and end; sorted by any column, filtered by battery or file name; opened,
// compared or moved to the trash. It reads the facts files beside the records; a record without a
// kept summary has it computed from its curve file once and kept in its facts.
#pragma once

#include <QStandardItemModel>
#include <QSortFilterProxyModel>
#include <QString>
#include <QStringList>
#include <QWidget>

class QLineEdit;
class QPushButton;
class QTableView;

class RecordBook : public QWidget {
    Q_OBJECT
public:
    // Lists the records in folder but the one at writingPath, which the journal is writing.
    RecordBook(QString folder, const QString& writingPath, QWidget* parent = nullptr);

    // Lists the folder again; writingPath is the record the journal is writing now, if any.
    void refresh(const QString& writingPath);
    // The records shown, top to bottom.
    QStringList shownPaths() const;

    void Oeffnen_Click();
    void Vergleichen_Click();
    void Papierkorb_Click();

    QLineEdit* filter;
    QTableView* list;
    QPushButton* openButton;
    QPushButton* compareButton;
    QPushButton* trashButton;

signals:
    void openRequested(const QString& path);
    void compareRequested(const QStringList& paths);

private:
    QStringList selectedPaths() const;
    void selectionChanged();

    QString folder_;
    QString writingPath_;
    QStandardItemModel model_;
    // Rows with equal keys in the order of their file names, so that a sort gives one order.
    class Sorted : public QSortFilterProxyModel {
    protected:
        bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
    } sorted_;
};
