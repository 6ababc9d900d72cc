; lateral_bars.asm - two bars beside the stop line.
; The parameter source comes first: its values open the model data at fixed offsets.
        include lateral_bars_0.asm

; model header: magic, format version, part count, offsets of the tables (from the data start)
model_header:
        dd      0BA125000h                 ; model magic
        dw      1, 0                    ; format version 1.0
        dw      part_count
        dw      vertex_count
        dd      vertex_table
        dd      colour_table
        dd      part_table
        dd      model_end               ; size of the model data
        dd      parameter_block         ; where the stand parameters lie

part_count      equ     2
vertex_count    equ     8
bar_width       equ     0.12

model_scale     real4   0.01
bar_height      real8   1.5e-1
bar_thickness   real4   bar_width

vertex_table:                           ; x, y, z in centimetres, both bars
        dw      -6, 0, 0
        dw       6, 0, 0
        dw       6, 15, 0
        dw      -6, 15, 0
        dw      -6, 0, 100
        dw       6, 0, 100
        dw       6, 15, 100
        dw      -6, 15, 100

colour_table:                           ; red, green, blue, alpha
        db      255, 255, 0, 255
        db      0, 0, 0, 0ffh

part_table:                             ; first vertex, vertex count, colour index
        dw      0, 4, 0
        dw      4, 4, 0
model_end:
