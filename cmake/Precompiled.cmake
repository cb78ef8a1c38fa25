# Precompiled headers: the Qt and test headers that nearly every file of a
# target includes are parsed once per target instead of once per file. The
# files still include what they use; ZS_PCH=OFF builds without, which shows a
# missing include.

set(ZS_PCH_QT_CORE
    <QDate> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash> <QList> <QMap> <QRegularExpression> <QSet> <QString>
    <QStringList> <QVariant> <QVector> <algorithm> <functional> <memory> <optional> <vector>)
set(ZS_PCH_QT_WIDGETS
    <QAction> <QApplication> <QCheckBox> <QComboBox> <QDialog> <QHeaderView> <QLabel> <QLineEdit> <QListWidget>
    <QMessageBox> <QPushButton> <QRadioButton> <QTableWidget> <QTimer> <QTreeWidget> <QWidget>)
set(ZS_PCH_TESTS <QTemporaryDir> <QTest> <gtest/gtest.h>)

# Precompiles `headers` for `target`.
function(zs_precompile target)
  if(ZS_PCH)
    target_precompile_headers(${target} PRIVATE ${ARGN})
  endif()
endfunction()

# `target` uses the precompiled headers of `from`; both must be compiled with
# the same options.
function(zs_precompile_reuse target from)
  if(ZS_PCH)
    target_precompile_headers(${target} REUSE_FROM ${from})
  endif()
endfunction()
