#pragma once

/** How a radio button (MvRadioButtons::RadioButton) talks back to its group. */
class MvRadioButtonDelegate
{
public:
    virtual ~MvRadioButtonDelegate();

    virtual void setSelectedIndex (int buttonIndex) = 0;
    virtual void radioButtonMouseEntered (int buttonIndex);
    virtual void radioButtonMouseExited (int buttonIndex);
};
