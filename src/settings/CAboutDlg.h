#pragma once
// The version dialog (template 100): icon, description, version line in bold, copyright, OK.
#include <QDialog>
#include <QString>
#include <cstdint>
#include <map>

namespace tessary {

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    // `programFileName` and `programVersion` are the ones identified at start-up.
    CAboutDlg(QWidget* parent, const QString& programFileName, uint32_t programVersion);

    // The control `id` of the template (1000-1002, IDOK), or nullptr.
    QWidget* Control(int id) const;

private:
    void Build();
    void FillTexts(const QString& programFileName, uint32_t programVersion);

    std::map<int, QWidget*> m_controls;
};

}  // namespace tessary
