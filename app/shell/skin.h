#pragma once

class QApplication;

/// Applies the embedded style sheet; without it the platform look stays and nothing is reported.
void applySkin(QApplication& application);
