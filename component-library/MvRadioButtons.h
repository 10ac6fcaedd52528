#pragma once

#include "MvParameterComponent.h"
#include "MvRadioButtonDelegate.h"
#include "MvBackgroundElement.h"

#include <array>

/** A row or column of up to ten picture buttons bound to one parameter: exactly one shows
    selected, chosen by the value; clicking an unselected button selects it and writes the
    matching value as one complete gesture (drag started, value changed, drag ended).

    Mapping modes, with n buttons:
      0: value v selects round (v * (n - 1)) (halves away from zero); button i writes i / (n - 1)
      1: value v selects min (round (v * n), n - 1); button i writes i / n
      2: value v selects trunc (v * (n - 1)); button i writes i / (n - 1)
    The group does not test for a disabled state. */
class MvRadioButtons : public MvParameterComponent,
                       public MvRadioButtonDelegate,
                       public MvBackgroundElement
{
public:
    static constexpr int maxButtons = 10;

    /** Told when the mouse enters or leaves one of the group's buttons. */
    class HoverListener
    {
    public:
        virtual ~HoverListener();
        virtual void radioButtonMouseEntered (MvRadioButtons* group, int buttonIndex) = 0;
        virtual void radioButtonMouseExited (MvRadioButtons* group, int buttonIndex) = 0;
    };

    /** One button of a group. With an off picture it shows the on picture when selected, the
        pressed picture (or the on picture) while pressed, else the off picture, stretched over
        the button. Without one it draws the built-in look: a fill and a centred text (its text,
        or the letter of its index: A for button 0), coloured by state (selected, hovered,
        normal). */
    class RadioButton : public juce::Component,
                        public MvBackgroundElement
    {
    public:
        enum ColourIndex { textNormal = 0, textSelected, textHovered, fillNormal, fillSelected, fillHovered };

        RadioButton();
        ~RadioButton() override;

        void mouseEnter (const juce::MouseEvent&) override;
        void mouseExit (const juce::MouseEvent&) override;
        void mouseDown (const juce::MouseEvent&) override;
        void mouseUp (const juce::MouseEvent&) override;
        void paint (juce::Graphics&) override;

        /** The text of the built-in look: its own text, or its letter when that is empty. */
        juce::String getDisplayText() const;

        void setImages (const juce::Image& off, const juce::Image& on, const juce::Image& pressedPicture);
        const juce::Image& getOffImage() const noexcept { return offImage; }
        const juce::Image& getOnImage() const noexcept { return onImage; }
        const juce::Image& getPressedImage() const noexcept { return pressedImage; }
        void setText (const juce::String& newText) { text = newText; repaint(); }
        const juce::String& getText() const noexcept { return text; }
        void setFont (const juce::Font& newFont) { font = newFont; repaint(); }
        const juce::Font& getFont() const noexcept { return font; }
        void setButtonColour (ColourIndex which, juce::uint32 argb) { colours[(size_t) which] = argb; repaint(); }
        juce::uint32 getButtonColour (ColourIndex which) const noexcept { return colours[(size_t) which]; }

        int getButtonIndex() const noexcept { return buttonIndex; }
        bool isSelected() const noexcept { return selected; }
        bool isHovered() const noexcept { return hovered; }
        bool isPressed() const noexcept { return pressed; }
        float getButtonWidth() const noexcept { return buttonWidth; }
        float getButtonHeight() const noexcept { return buttonHeight; }
        float getGapAfter() const noexcept { return gapAfter; }

    private:
        friend class MvRadioButtons;

        juce::Image offImage, onImage, pressedImage;
        int buttonIndex = 0;
        bool selected = false;
        bool hovered = false;
        MvRadioButtonDelegate* owner = nullptr;
        juce::String text;
        bool pressed = false;
        juce::Font font;
        std::array<juce::uint32, 6> colours {};
        float buttonWidth = 0.0f, buttonHeight = 0.0f, gapAfter = 0.0f;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RadioButton)
    };

    MvRadioButtons();
    ~MvRadioButtons() override;

    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void resized() override;

    /** Stores the value and selects the matching button; reports nothing, repaints only the
        buttons. */
    void setValue (float newValue) override;

    void radioButtonMouseEntered (int buttonIndex) override;
    void radioButtonMouseExited (int buttonIndex) override;
    /** Selects that button, stores the matching value and reports it as one gesture. */
    void setSelectedIndex (int buttonIndex) override;

    /** Fills the next free button (at most ten) and adds it as a visible child on top. */
    void addButton (const juce::Image& offPicture, const juce::Image& onPicture, float width, float height, float gapAfter);
    /** The size the buttons need, at (0, 0): stacked, the widest button by the sum of heights and
        gaps; side by side, the sum of widths and gaps by the tallest height plus its gap. */
    juce::Rectangle<int> getContentSize() const;

    int getNumButtons() const noexcept { return count; }
    RadioButton& getButton (int i) { return buttons[(size_t) i]; }
    /** The index of the selected button, or -1 when none is. */
    int getSelectedIndex() const;

    void setVertical (bool shouldBeVertical) { vertical = shouldBeVertical; resized(); }
    bool isVertical() const noexcept { return vertical; }
    void setMappingMode (int mode) noexcept { mappingMode = mode; }
    int getMappingMode() const noexcept { return mappingMode; }
    void setHoverListener (HoverListener* listener) noexcept { hoverListener = listener; }
    HoverListener* getHoverListener() const noexcept { return hoverListener; }

protected:
    HoverListener* hoverListener = nullptr;
    bool vertical = false;
    std::array<RadioButton, maxButtons> buttons;
    int count = 0;
    int mappingMode = 0;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MvRadioButtons)
};
