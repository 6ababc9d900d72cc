; fixed_display_0.asm - parameters of the fixed display without parameters, rewritten by the tool for every build.
; The tool replaces the placeholder words on the data lines with the values entered for the stand.
; The main source includes this file before anything else, so the block opens the model data of
; every demo template in the same order (offsets from the start of the data chunk):
;   offset  size  label          directive  content
;        0     2  nvl_high       dw         night-vision level, high
;        2     2  nvl_full       dw         night-vision level, full
;        4     4  visibility     dd         visibility distance in metres, 0 for no limitation
;        8     4  heading_x      dd         heading vector x, -32768..32768
;       12     4  heading_y      dd         heading vector y, -32768..32768
;       16     4  stop_dist      dd         stop distance in metres
;       20     4  lateral_dist   dd         lateral distance in metres, negative for the other side
;       24     4  bar_dist1      real4      distance of the first closing-rate bar
;       28     4  bar_dist2      real4      distance of the second closing-rate bar
;       32     4  bar_pos1       real4      lateral position of the first bar
;       36     4  bar_pos2       real4      lateral position of the second bar
; The vector and the distances are double words: +32768 in a word would read back as -32768.
; Keep names here in lower case: the tool replaces its placeholder words inside any longer word.

parameter_block:
nvl_high        dw      NVLH
nvl_full        dw      NVL
visibility      dd      VISIBILITY_DISTANCE
heading_x       dd      HEADING_VECTOR_X
heading_y       dd      HEADING_VECTOR_Y
stop_dist       dd      STOP_DISTANCE
lateral_dist    dd      LATERAL_DISTANCE
bar_dist1       real4   BAR_DISTANCE1
bar_dist2       real4   BAR_DISTANCE2
bar_pos1        real4   BAR_POSITION1
bar_pos2        real4   BAR_POSITION2
parameter_end:
