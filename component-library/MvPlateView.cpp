#include "MvPlateView.h"

MvPlateView::Delegate::~Delegate() = default;

MvPlateView::MvPlateView() = default;
MvPlateView::~MvPlateView() = default;

void MvPlateView::mouseDown (const juce::MouseEvent&)
{
    if (delegate != nullptr)
        delegate->plateViewClicked (this);
}

void MvPlateView::paint (juce::Graphics& g)
{
    g.fillAll (colour);
}
