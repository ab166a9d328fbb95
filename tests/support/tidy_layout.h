#pragma once

class QWidget;

/// Checks the direct children of `container`: each visible one lies inside it, every label and button
/// shows its whole text, and no two of them overlap.
void expectTidyLayout(QWidget* container);
