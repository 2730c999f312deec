#include "strokes.hpp"

namespace artgen {

std::vector<Segment> letterStrokes(char letter) {
  StrokeBuilder b;
  switch (letter) {
    case 'A': b.line(0, 12, 4, 0).line(4, 0, 8, 12).line(1.6, 8, 6.4, 8); break;
    case 'B':
      b.line(0, 0, 0, 12).line(0, 0, 4.5, 0).arc(4.5, 3, 3, 3, -90, 90).line(4.5, 6, 0, 6);
      b.line(4.8, 6, 0, 6).arc(4.8, 9, 3.2, 3, -90, 90).line(4.8, 12, 0, 12);
      break;
    case 'C': b.arc(4.3, 6, 4.3, 6, 40, 320); break;
    case 'D': b.line(0, 0, 0, 12).line(0, 0, 3, 0).arc(3, 6, 5, 6, -90, 90).line(3, 12, 0, 12); break;
    case 'E': b.line(0, 0, 0, 12).line(0, 0, 7.5, 0).line(0, 6, 6, 6).line(0, 12, 7.5, 12); break;
    case 'F': b.line(0, 0, 0, 12).line(0, 0, 7.5, 0).line(0, 6, 6, 6); break;
    case 'G': b.arc(4.2, 6, 4.2, 6, 0, 315).line(8.4, 6, 4.6, 6); break;
    case 'H': b.line(0, 0, 0, 12).line(8, 0, 8, 12).line(0, 6, 8, 6); break;
    case 'I': b.line(4, 0, 4, 12).line(1.5, 0, 6.5, 0).line(1.5, 12, 6.5, 12); break;
    case 'J': b.line(7, 0, 7, 8.5).arc(3.75, 8.5, 3.25, 3.5, 0, 180).line(3, 0, 7, 0); break;
    case 'K': b.line(0, 0, 0, 12).line(7.5, 0, 0, 7.5).line(2.8, 5, 8, 12); break;
    case 'L': b.line(0, 0, 0, 12).line(0, 12, 7.5, 12); break;
    case 'M': b.line(0, 12, 0, 0).line(0, 0, 4, 6.5).line(4, 6.5, 8, 0).line(8, 0, 8, 12); break;
    case 'N': b.line(0, 12, 0, 0).line(0, 0, 8, 12).line(8, 12, 8, 0); break;
    case 'O': b.arc(4, 6, 4, 6, 0, 360); break;
    case 'P': b.line(0, 0, 0, 12).line(0, 0, 4.5, 0).arc(4.5, 3.25, 3.5, 3.25, -90, 90).line(4.5, 6.5, 0, 6.5); break;
    case 'Q': b.arc(4, 6, 4, 6, 0, 360).line(4.8, 8.6, 8.6, 12.6); break;
    case 'R':
      b.line(0, 0, 0, 12).line(0, 0, 4.5, 0).arc(4.5, 3.25, 3.5, 3.25, -90, 90).line(4.5, 6.5, 0, 6.5);
      b.line(3.8, 6.5, 8, 12);
      break;
    case 'S': b.arc(4, 3, 3.8, 3, 330, 90).arc(4, 9, 4, 3, -90, 170); break;
    case 'T': b.line(0, 0, 8, 0).line(4, 0, 4, 12); break;
    case 'U': b.line(0, 0, 0, 8).arc(4, 8, 4, 4, 180, 0).line(8, 8, 8, 0); break;
    case 'V': b.line(0, 0, 4, 12).line(4, 12, 8, 0); break;
    case 'W': b.line(-0.3, 0, 1.9, 12).line(1.9, 12, 4, 5.5).line(4, 5.5, 6.1, 12).line(6.1, 12, 8.3, 0); break;
    case 'X': b.line(0, 0, 8, 12).line(8, 0, 0, 12); break;
    case 'Y': b.line(0, 0, 4, 6.5).line(8, 0, 4, 6.5).line(4, 6.5, 4, 12); break;
    case 'Z': b.line(0, 0, 8, 0).line(8, 0, 0, 12).line(0, 12, 8, 12); break;
    case '.': b.dot(4, 11.6); break;
    case ':': b.dot(4, 4).dot(4, 11.6); break;
    case ',': b.dot(4, 11.3).line(4, 11.6, 2.8, 13); break;
    case '-': b.line(1.5, 6.5, 6.5, 6.5); break;
    case '!': b.line(4, 0, 4, 7.8).dot(4, 11.6); break;
    case '?': b.arc(4, 3.2, 3.6, 3.2, 190, 450).line(4, 6.4, 4, 8).dot(4, 11.6); break;
    default: break;
  }
  return b.segments;
}

}  // namespace artgen
