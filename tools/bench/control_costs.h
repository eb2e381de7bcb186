// What one control costs to create and destroy, by class: the yardstick for
// the creation and close phases, since the plug-in's windows are made of
// drop-down lists where the peers hold one month calendar or time picker.
#pragma once

// Prints the median creation and destruction time of each control class
// (child windows of a hidden popup, `cycles` of each, interleaved).
void printControlCosts(int cycles);
