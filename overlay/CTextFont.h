#ifndef PONDQUEST_CTEXTFONT_H
#define PONDQUEST_CTEXTFONT_H

// A bitmap font in 96 display lists (codes 32..127) printing formatted text.
class CTextFont {
public:
    unsigned int listBase;
    float color[4];
    int rasterX, rasterY;
    float position[3];

    CTextFont(const char* faceName, int height);
    ~CTextFont();
    CTextFont(const CTextFont&) = delete;
    CTextFont& operator=(const CTextFont&) = delete;

    void Create(const char* faceName, int height);
    void SetPosition(float x, float y, float z);
    void SetColor(float r, float g, float b, float a);
    void SetColor(float r, float g, float b);
    void Print(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
};

#endif
