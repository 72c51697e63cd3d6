#pragma once

#include <QWidget>

#include "config/app_settings.h"
#include "config/config_document.h"
#include "editor/curve_math.h"
#include "editor/curve_undo_stack.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace zentrik {
class CCurveGraph;
class CNumericEdit;
}  // namespace zentrik

// The configuration form: edits the document's record and displayPressures one stage at a time
// and writes every change into the document at once (there is no apply step).
//
// Every control of the form carries its control id in its object name, "id" followed by the
// number ("id1003" is the RPM Cutoff field, "id1057" the graph); the Redo button, which has no
// id, is "redoButton". Controls without an id (group boxes, the fixed labels) have descriptive
// names.
//
// The owner (the main frame) calls OnInitialUpdate once before the window is shown, and
// OnUpdate with the document's update hint. The form's size hints give the frame its natural
// size.
class CQuarnelView : public QWidget {
    Q_OBJECT
  public:
    CQuarnelView(zentrik::ConfigDocument& doc, zentrik::AppSettings& settings,
                 QWidget* parent = nullptr);
    ~CQuarnelView() override;

    void OnInitialUpdate();
    // The document's update notice: a non-zero hint refreshes the whole form.
    void OnUpdate(int hint);

    int CurrentStage() const { return m_currentStage; }
    bool UndoAvailable() const { return m_undo.CanUndo(); }
    bool RedoAvailable() const { return m_undo.CanRedo(); }
    zentrik::CCurveGraph* Graph() const { return m_graph; }
    // The control with a given id (nullptr for an unknown id).
    QWidget* Control(int id) const;
    zentrik::CNumericEdit* Edit(int id) const;

    // Hands a value typed but not yet confirmed to the rules, as Enter would.
    void CommitPendingEdit();

    // Filling the form from the document.
    void ShowAll();
    void ShowStage();
    void ApplyStageVisibility();
    void ShowCurveMode();

    // The value rules: a field reports a new value.
    void OnValueChanged(int id, double value);
    void ApplyPressureUnits(bool convert);
    void NormaliseRpmTrigger();
    void NormaliseMapTrigger();
    void NormaliseMapEnd();

    // The curve commands.
    void SmoothPoints();
    void ResetToStraightLine();
    void UndoCurve();
    void RedoCurve();
    void OnCurveDragged();
    void OnSmoothWhenDragging(bool checked);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();
    void ConnectControls();
    void InitialiseEdits();

    zentrik::StageConfig& Stage();
    double& Pressure(zentrik::PressureField field);
    double XStart();
    double XEnd();
    bool InBar() const;
    double PressureLow() const;
    double PressureHigh() const;
    double CutoffLow() const;
    QString PressureText(double value) const;
    zentrik::Curve StageCurve();
    void SetStageCurve(const zentrik::Curve& curve);

    void RefreshGraph();
    void UpdateGraphStart();
    void UpdateGraphEnd();
    void ShowStartPercent();
    void ShowFinalPercent();
    void ShowDelay();
    void ShowRampTime();
    void ShowMapAxis();
    void SnapshotCurve(bool push);
    void UpdateRedoButton();

    void OnInput2Selected(int index);
    void OnMultiplierSelected(int index);
    void OnInput2WillSelected(int index);
    void OnStageSelected(int index);
    void OnTypeSelected(int index);
    void OnUnitsSelected(int index);
    void OnStagePresentClicked(bool checked);
    void OnLockoutClicked(bool checked);
    void OnRpmPresentClicked(bool checked);

    zentrik::ConfigDocument& m_doc;
    zentrik::AppSettings& m_settings;
    int m_currentStage = 0;
    zentrik::CurveUndoStack m_undo;

    QComboBox* m_unitsList = nullptr;       // 1075
    QCheckBox* m_rpmPresent = nullptr;      // 1050
    QComboBox* m_multiplierList = nullptr;  // 1001
    QComboBox* m_input2List = nullptr;      // 1073
    QGroupBox* m_stageFrame = nullptr;
    QComboBox* m_stageList = nullptr;               // 1067
    QCheckBox* m_stagePresent = nullptr;            // 1028
    QLabel* m_typeLabel = nullptr;                  // 1063
    QComboBox* m_typeList = nullptr;                // 1052
    QCheckBox* m_lockout = nullptr;                 // 1051
    QLabel* m_input2WillLabel = nullptr;            // 1064
    QComboBox* m_input2WillList = nullptr;          // 1045
    QLabel* m_thisStageLabel = nullptr;             // 1065
    QLabel* m_rpmCutoffLabel = nullptr;             // 1077
    zentrik::CNumericEdit* m_rpmCutoff = nullptr;   // 1003
    QLabel* m_frequencyLabel = nullptr;             // 1035
    zentrik::CNumericEdit* m_frequency = nullptr;   // 1033
    QLabel* m_mapCutoffLabel = nullptr;             // 1076
    zentrik::CNumericEdit* m_mapCutoff = nullptr;   // 1005
    QLabel* m_rpmTriggerLabel = nullptr;            // 1054
    zentrik::CNumericEdit* m_rpmTrigger = nullptr;  // 1002
    QLabel* m_mapTriggerLabel = nullptr;            // 1056
    zentrik::CNumericEdit* m_mapTrigger = nullptr;  // 1006
    QLabel* m_delayLabel = nullptr;                 // 1032
    zentrik::CNumericEdit* m_delay = nullptr;       // 1009
    QLabel* m_mapEndLabel = nullptr;                // 1062
    zentrik::CNumericEdit* m_mapEnd = nullptr;      // 1007
    QLabel* m_rampLabel = nullptr;                  // 1031
    zentrik::CNumericEdit* m_ramp = nullptr;        // 1008
    QLabel* m_startLabel = nullptr;                 // 1034
    zentrik::CNumericEdit* m_start = nullptr;       // 1010
    QLabel* m_finalLabel = nullptr;                 // 1036
    zentrik::CNumericEdit* m_final = nullptr;       // 1011
    QCheckBox* m_smoothCheck = nullptr;             // 1068
    QPushButton* m_resetButton = nullptr;           // 1069
    QPushButton* m_smoothButton = nullptr;          // 1070
    QPushButton* m_undoButton = nullptr;            // 1071
    QPushButton* m_redoButton = nullptr;
    QLabel* m_percentLabel = nullptr;         // 1058
    zentrik::CCurveGraph* m_graph = nullptr;  // 1057
    QLabel* m_axisStart = nullptr;            // 1059
    QLabel* m_axisName = nullptr;             // 1060
    QLabel* m_axisEnd = nullptr;              // 1061
};
