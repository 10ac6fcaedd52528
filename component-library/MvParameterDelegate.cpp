#include "MvParameterDelegate.h"

MvParameterDelegate::~MvParameterDelegate() = default;

void MvParameterDelegate::parameterMouseEntered (MvParameterComponent*, int) {}

void MvParameterDelegate::parameterMouseExited (MvParameterComponent*, int) {}

juce::String MvParameterDelegate::getParameterID (int parameterIndex)
{
    return "PAR" + juce::String (parameterIndex);
}
