// Curve display procedures.
#pragma once

// Clears the plot, draws grid and frame, places the 22 label fields.
void GrafikAufbauen();
// Draws the open record on the live page (adds to the surface, does not clear).
void LaufKurveZeichnen();
// Draws one page of a finished record whose first column shows sample ersteProbe.
void SeiteZeichnen(float ersteProbe);
// Redraws the current view after GrafikAufbauen.
void AnsichtZeichnen();
// Draws the newest sample's segments and turns the page at the right edge.
void KurveFortsetzen();
// Takes the page length from the time options and labels the time axis.
void ZeitachseBeschriften();
// Draws the whole record across the plot width.
void GesamtkurveZeichnen();
// Paints the caption (battery notes, scales and time span, date) into the plot.
void KopfzeilenSchreiben();
