#pragma once

#include <QObject>

class Competition;

// Rebuilds the derived tables: heat results and team ranking from the heat start list, the
// final start list from the heat results, the final results from the final start list.
class StageDerivation : public QObject {
    Q_OBJECT
public:
    explicit StageDerivation(Competition& c, QObject* parent = nullptr);

    // Stage 1, 2 or 3; anything else does nothing.
    void deriveStage(int stage);
    void deriveAll();

Q_SIGNALS:
    // At the end of every DeriveStage, also when the stage found nothing to derive.
    void stageDerived(int stage);

private:
    void deriveHeatResults();
    void deriveFinalStartList();
    void deriveFinalResults();

    Competition& m_competition;
};
