-- Table definitions and a view of a MySQL 8 dump that call MySQL's
-- functions: expression defaults, generated columns, a CHECK, a view.
CREATE TABLE `items` (
  `id` int unsigned NOT NULL AUTO_INCREMENT,
  `uuid` char(36) NOT NULL DEFAULT (uuid()),
  `price` decimal(8,2) NOT NULL DEFAULT '0.00',
  `qty` int NOT NULL DEFAULT '1',
  `total` decimal(10,2) GENERATED ALWAYS AS ((`price` * `qty`)) STORED,
  `label` varchar(60) GENERATED ALWAYS AS (concat(`name`,_utf8mb4' x',`qty`)) VIRTUAL,
  `name` varchar(40) NOT NULL,
  `order` int DEFAULT NULL,
  `added` date DEFAULT (curdate()),
  PRIMARY KEY (`id`),
  CONSTRAINT `items_qty` CHECK ((ifnull(`qty`,0) >= 0))
) ENGINE=InnoDB AUTO_INCREMENT=3 DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_0900_ai_ci;
INSERT INTO `items` (`id`, `uuid`, `price`, `qty`, `name`, `order`, `added`) VALUES (1,'6ccd780c-baba-1026-9564-5b8c656024db',1.50,2,'Pen',NULL,'2024-01-02'),(2,'6ccd780c-baba-1026-9564-5b8c656024dc',2.00,3,'Cup',1,'2024-01-03');
INSERT INTO `items` SET `name` = 'Set', `qty` = 1, `uuid` = 'fixed', `added` = '2024-01-04';
CREATE ALGORITHM=UNDEFINED DEFINER=`root`@`localhost` SQL SECURITY DEFINER VIEW `item_summary` AS select `items`.`name` AS `name`,ifnull(`items`.`order`,0) AS `order`,date_format(`items`.`added`,'%d.%m.%Y') AS `added`,`items`.`total` AS `total` from `items` where (`items`.`name` <> "");
