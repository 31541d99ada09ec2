#include "app/uLookupPanels.h"

// Interim panels until the lookups land.
TMobileLookupPanel::TMobileLookupPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Pal_2_5"));
}

TAreaLookupPanel::TAreaLookupPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Pal_2_6"));
}

void TAreaLookupPanel::FirstShow() {}
