#include "MvRadioButtonDelegate.h"

MvRadioButtonDelegate::~MvRadioButtonDelegate() = default;

void MvRadioButtonDelegate::radioButtonMouseEntered (int) {}

void MvRadioButtonDelegate::radioButtonMouseExited (int) {}
