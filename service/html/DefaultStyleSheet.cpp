#include "service/html/DefaultStyleSheet.h"

namespace vesk {

const char* DefaultStyleSheet::text() {
  return R"CSS(
html { display: block; position: relative; }
head, script, style, title, meta, link, base, noscript, template, param, datalist, noembed,
frameset, frame, noframes, map, area, option, optgroup { display: none; }
body { display: block; margin: 4px; }
p, dl, multicol, blockquote, figure, address, center, div, article, aside, footer, header, main, nav,
section, hgroup, form, fieldset, details, summary, figcaption, legend { display: block; }
p, dl, multicol, blockquote, figure { margin-top: 0.5em; margin-bottom: 0.5em; }
blockquote, figure { margin-left: 12px; margin-right: 12px; }
address { font-style: italic; }
center { text-align: center; }
form { margin-top: 0; margin-bottom: 0.5em; }
fieldset { margin: 4px 2px; padding: 2px 4px; border: 1px solid #C0C0C0; }
legend { padding: 0 2px; }
h1, h2, h3, h4, h5, h6 { display: block; font-weight: bold; margin-top: 0.5em; margin-bottom: 0.5em; }
b, strong, th { font-weight: bold; }
i, em, cite, var, dfn { font-style: italic; }
u, ins { text-decoration: underline; }
s, strike, del { text-decoration: line-through; }
small { font-size: 100%; }
big { font-size: 100%; }
sub, sup { font-size: 100%; }
hr { display: block; height: 0; border-top: 1px solid #808080; margin: 4px 0; }
pre, xmp, plaintext, listing { display: block; white-space: pre; margin-top: 0.5em; margin-bottom: 0.5em; }
tt, code, kbd, samp { font-family: monospace; }
ul, ol, menu, dir { display: block; margin-top: 0.5em; margin-bottom: 0.5em; padding-left: 20px; }
ul, menu, dir { list-style-type: disc; }
ol { list-style-type: decimal; }
ul ul, ul ol, ol ul, ol ol { margin-top: 0; margin-bottom: 0; }
ul ul { list-style-type: circle; }
ul ul ul { list-style-type: square; }
li { display: list-item; }
dd { display: block; margin-left: 16px; }
dt { display: block; font-weight: bold; }
table { display: table; border-collapse: separate; border-spacing: 2px; }
caption { display: table-caption; text-align: center; }
thead { display: table-header-group; vertical-align: middle; }
tbody { display: table-row-group; vertical-align: middle; }
tfoot { display: table-footer-group; vertical-align: middle; }
tr { display: table-row; vertical-align: inherit; }
td, th { display: table-cell; vertical-align: inherit; padding: 1px; }
th { text-align: center; }
col { display: table-column; }
colgroup { display: table-column-group; }
table[border] td, table[border] th { border: 1px solid #808080; }
table[border] { border: 1px solid #808080; }
a:link, a:visited { color: #0000EE; text-decoration: underline; }
a[href] { color: #0000EE; text-decoration: underline; }
img { display: inline-block; max-width: 100%; }
input, select, textarea, button, iframe, object, embed { display: inline-block; }
input[type="hidden"] { display: none; }
br { display: block; }
[hidden] { display: none; }
)CSS";
}

}  // namespace vesk
